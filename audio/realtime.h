// Real-time scheduling for the threads that carry the audio stream: the
// callback's thread must run the moment the server asks for audio, or the
// output runs dry and clicks.
#pragma once

#include <sys/types.h>

#include <memory>
#include <set>

namespace scrivola {

// Another way to get real-time scheduling where the process may not set it
// itself (a desktop's RealtimeKit service).
class RealtimeBroker {
public:
    virtual ~RealtimeBroker() = default;
    // Asks for round-robin/FIFO scheduling of thread `tid` of this process at
    // most at `priority`. True when granted.
    virtual bool makeRealtime(pid_t tid, int priority) = 0;
    // Asks for normal scheduling of thread `tid` at nice level `nice` (or the
    // lowest the service allows, if that is higher). True when granted.
    virtual bool makeHighPriority(pid_t tid, int nice) = 0;
};

// The priority asked for: above the desktop's normal threads, below the
// sound server's own (which desktops run at about 20).
constexpr int kAudioThreadPriority = 10;

// The nice level asked for the window's threads, which compute every table
// the output plays on their timer and take the pen's events: ahead of a
// desktop's busy processes, as a sound server's own threads are.
constexpr int kWindowThreadNice = -11;

// The ids of this process's threads now.
std::set<pid_t> threadIds();

// Gives each thread in `started` that carries audio (the back end's own
// threads, not the toolkit's) real-time scheduling: itself when the process
// may, else through `broker` when there is one. Quietly leaves a thread at
// normal priority when neither works. Returns how many threads were raised.
int raiseAudioThreads(const std::set<pid_t>& started, RealtimeBroker* broker);

// Gives each thread in `threads` the nice level kWindowThreadNice: itself
// when the process may, else through `broker` when there is one. Quietly
// leaves a thread as it is when neither works. Returns how many were raised.
int raiseWindowThreads(const std::set<pid_t>& threads, RealtimeBroker* broker);

}  // namespace scrivola
