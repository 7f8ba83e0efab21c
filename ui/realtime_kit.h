// Real-time scheduling through the desktop's RealtimeKit service on the
// system bus, for a process that may not raise its own threads.
#pragma once

#include "audio/realtime.h"

namespace scrivola {

class RealtimeKitBroker final : public RealtimeBroker {
public:
    // Blocking D-Bus calls, so never from the audio callback. False when
    // there is no RealtimeKit or it refuses.
    bool makeRealtime(pid_t tid, int priority) override;
    bool makeHighPriority(pid_t tid, int nice) override;
};

}  // namespace scrivola
