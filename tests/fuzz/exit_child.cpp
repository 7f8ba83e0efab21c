#include "tests/fuzz/exit_child.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace scrivola::fuzz {

namespace {

// The child's status when the exit command returned instead of ending it.
constexpr int kExitReturned = 97;

std::string describe(int status) {
    if (WIFEXITED(status)) {
        if (WEXITSTATUS(status) == kExitReturned) {
            return "the exit command returned instead of ending the program";
        }
        return "the program ended with status " + std::to_string(WEXITSTATUS(status));
    }
    if (WIFSIGNALED(status)) {
        return "the program was killed by signal " + std::to_string(WTERMSIG(status));
    }
    return "the program ended oddly (" + std::to_string(status) + ")";
}

}  // namespace

std::string exitAnsweredYesInChild(Form1& window, RandomMessageBox& messageBox) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        return "fork failed";
    }
    if (child == 0) {
        messageBox.allowExitYes();
        window.controls().cmdexit->click();
        std::_Exit(kExitReturned);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::string() : describe(status);
        }
        if (done < 0) {
            return "waitpid failed";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return "the program did not end within 30 s";
}

}  // namespace scrivola::fuzz
