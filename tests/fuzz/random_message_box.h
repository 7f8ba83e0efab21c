// A message box that answers every question at random: mostly Yes or No,
// sometimes a code that is neither. The exit question is never answered Yes
// unless that is allowed, since Yes ends the process at once.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "ui/confirmations.h"
#include "ui/message_box.h"

namespace scrivola::fuzz {

class RandomMessageBox final : public MessageBox {
public:
    explicit RandomMessageBox(std::mt19937_64& random) : random_(random) {}

    // Lets the next exit question be answered Yes (in a child process).
    void allowExitYes() { exitYesAllowed_ = true; }

    int show(const std::string& prompt, const std::string& /*title*/, int /*style*/) override {
        ++questions;
        const bool exitQuestion = prompt == kExitConfirmation.prompt;
        if (exitQuestion && exitYesAllowed_) {
            return kAnswerYes;
        }
        int answer = kAnswerNo;
        const auto roll = random_() % 10;
        if (roll < 5) {
            answer = kAnswerYes;
        } else if (roll == 9) {
            // Cancel, OK, nothing, or garbage: anything but Yes means No.
            constexpr int kOthers[] = {0, 1, 2, -1, 5, 8, INT32_MIN, INT32_MAX};
            answer = kOthers[random_() % std::size(kOthers)];
        }
        if (exitQuestion && answer == kAnswerYes) {
            answer = kAnswerNo;
        }
        if (answer == kAnswerYes) {
            ++yeses;
        }
        return answer;
    }

    std::uint64_t questions = 0;
    std::uint64_t yeses = 0;

private:
    std::mt19937_64& random_;
    bool exitYesAllowed_ = false;
};

}  // namespace scrivola::fuzz
