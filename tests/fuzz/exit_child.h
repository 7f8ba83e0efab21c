// The exit command answered Yes, tried in a child process: Yes ends the
// process at once, which the fuzzer's own process must survive.
#pragma once

#include <string>

#include "tests/fuzz/random_message_box.h"
#include "ui/form1.h"

namespace scrivola::fuzz {

// Forks; the child lets `messageBox` answer the exit question Yes and clicks
// the exit button. Returns an empty text when the child ended at once with
// status 0, otherwise what happened instead.
std::string exitAnsweredYesInChild(Form1& window, RandomMessageBox& messageBox);

}  // namespace scrivola::fuzz
