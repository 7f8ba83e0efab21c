#include "ui/qt_message_box.h"

namespace scrivola {
namespace {

QMessageBox::Icon iconFor(int style) {
    // The icon flags occupy the bits 16..64 as one number, not separate bits.
    switch (style & 0x70) {
        case kStopIcon:
            return QMessageBox::Critical;
        case kQuestionIcon:
            return QMessageBox::Question;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

std::unique_ptr<QMessageBox> QtMessageBox::build(const std::string& prompt,
                                                 const std::string& title, int style,
                                                 QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setObjectName(QStringLiteral("MessageBox"));
    box->setWindowTitle(QString::fromStdString(title));
    box->setText(QString::fromStdString(prompt));
    box->setIcon(iconFor(style));
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    const bool noIsDefault = (style & kSecondButtonDefault) != 0;
    box->setDefaultButton(noIsDefault ? QMessageBox::No : QMessageBox::Yes);
    // Escape and the title bar's close button answer No.
    box->setEscapeButton(QMessageBox::No);
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

int QtMessageBox::show(const std::string& prompt, const std::string& title, int style) {
    const std::unique_ptr<QMessageBox> box = build(prompt, title, style, parent_);
    return box->exec() == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
}

}  // namespace scrivola
