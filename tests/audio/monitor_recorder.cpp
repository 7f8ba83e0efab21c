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

MonitorRecorder::MonitorRecorder(std::string source) : source_(std::move(source)) {}

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
    const std::string device = "--device=" + source_;
    const char* argv[] = {"parec",        "--raw",          "--latency-msec=10", device.c_str(),
                          "--rate=44100", "--format=s16le", "--channels=1",      nullptr};
    const int rc =
        posix_spawnp(&pid_, "parec", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid_ = -1;
        error_ = std::string("cannot start parec: ") + std::strerror(rc);
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

}  // namespace scrivola::testing
