#include "monitor_recorder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace scrivola::testing {

MonitorRecorder::MonitorRecorder() = default;

MonitorRecorder::~MonitorRecorder() {
    stop();
    if (!file_.empty()) {
        std::remove(file_.c_str());
    }
    if (!directory_.empty()) {
        rmdir(directory_.c_str());
    }
}

bool MonitorRecorder::start() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/scrivola-rec.XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        error_ = std::string("mkdtemp: ") + std::strerror(errno);
        return false;
    }
    directory_ = pattern;
    file_ = directory_ + "/monitor.raw";

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, file_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const std::string recorder = SCRIVOLA_SOURCE_DIR "/scripts/record-monitor.sh";
    const char* argv[] = {recorder.c_str(), nullptr};
    const int rc =
        posix_spawn(&pid_, recorder.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid_ = -1;
        error_ = "cannot start " + recorder + ": " + std::strerror(rc);
        return false;
    }
    return true;
}

bool MonitorRecorder::waitForData(std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    struct stat info {};
    while (stat(file_.c_str(), &info) != 0 || info.st_size == 0) {
        if (pid_ <= 0 || std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void MonitorRecorder::stop() {
    if (pid_ <= 0) {
        return;
    }
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
}

std::vector<std::int16_t> MonitorRecorder::samples() const {
    std::ifstream in(file_, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    std::vector<std::int16_t> out(bytes.size() / 2);
    std::memcpy(out.data(), bytes.data(), out.size() * 2);  // little-endian host
    return out;
}

bool MonitorRecorder::check(std::size_t first, const std::array<std::uint8_t, 361>& table,
                            const std::vector<std::string>& command) const {
    const std::string tables = directory_ + "/tables.txt";
    const std::string markers = directory_ + "/markers.txt";
    {
        std::ofstream out(tables);
        out << "1";  // the level column; one table only
        for (const std::uint8_t entry : table) {
            out << ' ' << static_cast<int>(entry);
        }
        out << '\n';
        std::ofstream(markers) << "first " << first << '\n';
    }
    std::string line = "/usr/bin/python3 '" SCRIVOLA_SOURCE_DIR "/tests/e2e/check.py'";
    for (const std::string& word : command) {
        line += " '" + word + "'";
    }
    line += " --recording '" + file_ + "' --markers '" + markers + "' --start first";
    if (command.front() != "pitches") {
        line += " --tables '" + tables + "'";
    }
    std::fflush(stdout);
    const bool passed = std::system(line.c_str()) == 0;
    std::remove(tables.c_str());
    std::remove(markers.c_str());
    return passed;
}

}  // namespace scrivola::testing
