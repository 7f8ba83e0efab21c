// A modal question with Yes and No buttons. The window asks through this
// interface so that tests can give the answers.
#pragma once

#include <string>

namespace scrivola {

// Style flags, added together.
inline constexpr int kYesNoButtons = 4;
inline constexpr int kStopIcon = 16;
inline constexpr int kQuestionIcon = 32;
inline constexpr int kSecondButtonDefault = 256;  // No is the default button

// Answers.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows the prompt under the title, waits for the answer and returns the
    // code of the button pressed.
    virtual int show(const std::string& prompt, const std::string& title, int style) = 0;
};

}  // namespace scrivola
