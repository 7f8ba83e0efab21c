// The window's client area: a fixed 568 x 698 surface showing the background
// picture, on which every control sits.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace scrivola {

class FormFace : public QWidget {
    Q_OBJECT

public:
    explicit FormFace(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;  // rendered once per device-pixel ratio
};

}  // namespace scrivola
