// A button or check box in the graphical style: a flat face in its own
// colour with a raised 3D edge, drawn sunken while pressed or, when
// checkable, while checked. The caption is centred and wraps at word breaks;
// a picture is centred and cropped to the face.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QStringList>

namespace scrivola {

class FlatButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int kEdgePixels = 2;

    FlatButton(const QString& name, const QString& caption, QColor face, QWidget* parent = nullptr);

    QColor face() const { return face_; }
    void setTextColor(QColor color);
    void setPicture(const QPixmap& picture);

    // The area the caption is laid out in.
    QRect captionRect() const;
    // The caption broken into the lines it is drawn in, with the current font.
    QStringList captionLines() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor face_;
    QColor textColor_{Qt::black};
    QPixmap picture_;
};

}  // namespace scrivola
