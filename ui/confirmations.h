// The questions asked before a command that loses work or ends the program.
#pragma once

#include "ui/message_box.h"

namespace scrivola {

struct Confirmation {
    const char* prompt;
    const char* title;
    int style;
};

inline constexpr Confirmation kExitConfirmation{"Exit Scrivola Synth?", "Exit Scrivola",
                                                kYesNoButtons + kStopIcon + kSecondButtonDefault};
inline constexpr Confirmation kNewDrawingConfirmation{"New Drawing?", "New Drawing",
                                                      kYesNoButtons + kQuestionIcon};
inline constexpr Confirmation kResetConfirmation{"RESET the Synth?", "RESET",
                                                 kYesNoButtons + kQuestionIcon};

// True when the answer is Yes; any other answer means "do nothing".
inline bool confirmed(MessageBox& box, const Confirmation& question) {
    return box.show(question.prompt, question.title, question.style) == kAnswerYes;
}

}  // namespace scrivola
