// The message box on screen: its buttons, icon and default button by style,
// and the answers that keys give while it waits.
#include "ui/qt_message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace scrivola {
namespace {

TEST(QtMessageBoxTest, StyleChoosesIconAndDefaultButton) {
    const struct {
        int style;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
    } cases[] = {
        {276, QMessageBox::Critical, QMessageBox::No},
        {36, QMessageBox::Question, QMessageBox::Yes},
        {4, QMessageBox::NoIcon, QMessageBox::Yes},
        {4 + 32 + 256, QMessageBox::Question, QMessageBox::No},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        const auto box = QtMessageBox::build("Exit Scrivola Synth?", "Exit Scrivola", c.style);
        EXPECT_EQ(box->text(), QStringLiteral("Exit Scrivola Synth?"));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Exit Scrivola"));
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
        EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::No));
        EXPECT_TRUE(box->isModal());
    }
}

// Shows a box and answers it with one key once it is on screen.
int answerWithKey(int style, Qt::Key key) {
    QString shownTitle;
    QTimer answerer;
    answerer.setInterval(10);
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        answerer.stop();
        shownTitle = box->windowTitle();
        QTest::keyClick(box, key);
    });
    answerer.start();
    // A box left unanswered would block the test run.
    QTimer::singleShot(10'000, [] {
        if (QWidget* stuck = QApplication::activeModalWidget()) {
            stuck->close();
        }
    });
    QtMessageBox messageBox;
    const int answer = messageBox.show("RESET the Synth?", "RESET", style);
    EXPECT_EQ(shownTitle, QStringLiteral("RESET"));
    return answer;
}

TEST(QtMessageBoxTest, KeysAnswerWhileTheBoxWaits) {
    const struct {
        int style;
        Qt::Key key;
        int answer;
    } cases[] = {
        {276, Qt::Key_Return, kAnswerNo},                                    // No is the default
        {276, Qt::Key_Enter, kAnswerNo},  {36, Qt::Key_Return, kAnswerYes},  // Yes is the default
        {276, Qt::Key_Y, kAnswerYes},     {36, Qt::Key_N, kAnswerNo},
        {36, Qt::Key_Escape, kAnswerNo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.style) + " key " + std::to_string(c.key));
        EXPECT_EQ(answerWithKey(c.style, c.key), c.answer);
    }
}

}  // namespace
}  // namespace scrivola
