// A message box that gives answers from a script and records every question.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/message_box.h"

namespace scrivola {

class ScriptedMessageBox final : public MessageBox {
public:
    struct Question {
        std::string prompt;
        std::string title;
        int style;
    };

    // Answers given in order; when the script runs out, every answer is No.
    std::deque<int> answers;
    std::vector<Question> asked;

    int show(const std::string& prompt, const std::string& title, int style) override {
        asked.push_back({prompt, title, style});
        if (answers.empty()) {
            return kAnswerNo;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace scrivola
