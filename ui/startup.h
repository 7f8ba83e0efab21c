// Starting the window: start-up, then either the window on screen or one line
// on the error stream saying why there is nothing to play through.
#pragma once

#include <ostream>
#include <string>

#include "ui/form1.h"

namespace scrivola {

// The one line reported when no audio output can be opened; `reason` is the
// sound layer's account of why, folded onto that line.
std::string noAudioOutputMessage(const std::string& reason);

// Runs Form_Load and shows the window. When start-up fails, the window stays
// hidden, the line above goes to `errors` and the result is false.
bool startWindow(Form1& window, std::ostream& errors);

}  // namespace scrivola
