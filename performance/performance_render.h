// Renders a performance into samples without a sound device: the synthesis
// core replays every event, and table k starts sounding at the sample
// nearest its tick's time while each loop keeps its phase across the switch,
// as a device with no queue and no jitter would play them. The loops are
// mixed as the sound layer mixes them.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "audio/sound_observer.h"

namespace scrivola {

// Takes the rendered samples, 16-bit mono, in order.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    // False when the samples could not be taken: the render stops.
    virtual bool write(const std::int16_t* samples, std::size_t frames) = 0;
    // Why the last write failed.
    virtual QString error() const { return {}; }
};

struct RenderOutcome {
    std::uint64_t frames = 0;  // samples rendered
    QString error;             // one line when the render failed
    bool ok() const { return error.isEmpty(); }
};

// Renders the performance at `path` (the file's name as the system's bytes)
// into `sink` at the rate its header names. The file must have been checked
// (checkPerformanceFile); a fault found now still stops the render with its
// message. Events still apply after `frameLimit` samples, but no more
// samples are made. `observer`, if given, sees every table written into the
// loops, as a live session's does.
RenderOutcome renderPerformance(
    const QByteArray& path, SoundSink& sink,
    std::uint64_t frameLimit = std::numeric_limits<std::uint64_t>::max(),
    SoundObserver* observer = nullptr);

}  // namespace scrivola
