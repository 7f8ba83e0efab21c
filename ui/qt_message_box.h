// The message box on screen: a modal QMessageBox with Yes and No, the icon
// the style asks for and the default button that Enter presses.
#pragma once

#include <QMessageBox>
#include <memory>

#include "ui/message_box.h"

namespace scrivola {

class QtMessageBox final : public MessageBox {
public:
    // Boxes are centred over `parent` and block input to it while they wait.
    explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}

    int show(const std::string& prompt, const std::string& title, int style) override;

    // The box as it would be shown, not yet shown.
    static std::unique_ptr<QMessageBox> build(const std::string& prompt, const std::string& title,
                                              int style, QWidget* parent = nullptr);

private:
    QWidget* parent_;
};

}  // namespace scrivola
