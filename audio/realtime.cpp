#include "audio/realtime.h"

#include <dirent.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace scrivola {
namespace {

std::string threadName(pid_t tid) {
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

// The back ends' threads keep the process's name (RtAudio's callback thread,
// ALSA's) or take PulseAudio's name for its client loop; the toolkit names
// its threads otherwise.
bool carriesAudio(pid_t tid, const std::string& processName) {
    const std::string name = threadName(tid);
    return name == processName || name == "threaded-ml";
}

bool setOwnRealtime(pid_t tid, int priority) {
    sched_param param{};
    param.sched_priority = std::clamp(priority, sched_get_priority_min(SCHED_FIFO),
                                      sched_get_priority_max(SCHED_FIFO));
    // Threads it forks start at normal priority again.
    return sched_setscheduler(tid, SCHED_FIFO | SCHED_RESET_ON_FORK, &param) == 0;
}

bool setOwnNice(pid_t tid, int nice) {
    return setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) == 0;
}

}  // namespace

std::set<pid_t> threadIds() {
    std::set<pid_t> ids;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(dir)) {
            if (const int id = std::atoi(entry->d_name); id > 0) {
                ids.insert(id);
            }
        }
        closedir(dir);
    }
    return ids;
}

int raiseAudioThreads(const std::set<pid_t>& started, RealtimeBroker* broker) {
    const std::string processName = threadName(getpid());
    int raised = 0;
    for (const pid_t tid : started) {
        if (!carriesAudio(tid, processName)) {
            continue;
        }
        if (setOwnRealtime(tid, kAudioThreadPriority) ||
            (broker != nullptr && broker->makeRealtime(tid, kAudioThreadPriority))) {
            ++raised;
        }
    }
    return raised;
}

int raiseWindowThreads(const std::set<pid_t>& threads, RealtimeBroker* broker) {
    int raised = 0;
    for (const pid_t tid : threads) {
        if (setOwnNice(tid, kWindowThreadNice) ||
            (broker != nullptr && broker->makeHighPriority(tid, kWindowThreadNice))) {
            ++raised;
        }
    }
    return raised;
}

}  // namespace scrivola
