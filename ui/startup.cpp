#include "ui/startup.h"

#include <algorithm>

namespace scrivola {

std::string noAudioOutputMessage(const std::string& reason) {
    std::string why = reason;
    // Back-end messages may span lines; the report stays one line.
    std::replace_if(
        why.begin(), why.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    if (why.find_first_not_of(' ') == std::string::npos) {
        why = "no reason given";
    }
    return "scrivola-synth: no audio output could be opened: " + why;
}

bool startWindow(Form1& window, std::ostream& errors) {
    if (!window.Form_Load()) {
        errors << noAudioOutputMessage(window.startupFailure()) << std::endl;
        return false;
    }
    window.show();
    return true;
}

}  // namespace scrivola
