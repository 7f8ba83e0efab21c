// A sound file that a render writes into, 16-bit mono, in the format the
// file name's extension names: .wav, .flac, or .ogg / .oga (Ogg Vorbis).
// The samples go to a temporary file beside it, which replaces the named
// file only once it is complete; a render that fails leaves nothing behind.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "performance/performance_render.h"

// libsndfile's handle (SNDFILE).
struct sf_private_tag;

namespace scrivola {

class SoundFileSink final : public SoundSink {
public:
    SoundFileSink() = default;
    ~SoundFileSink() override;
    SoundFileSink(const SoundFileSink&) = delete;
    SoundFileSink& operator=(const SoundFileSink&) = delete;

    // Empty when `path`'s extension names a format; otherwise why not.
    static QString formatProblem(const QByteArray& path);

    // Starts the file `path` (its name as the system's bytes) for a sound of
    // about `frames` samples at `rate`. Empty on success, otherwise why it
    // could not start.
    QString open(const QByteArray& path, unsigned rate, std::uint64_t frames);
    bool write(const std::int16_t* samples, std::size_t frames) override;
    QString error() const override { return error_; }
    // Completes the file and puts it in place. Empty on success, otherwise
    // why not (and nothing is left behind).
    QString commit();
    // Throws away what was written.
    void discard();

private:
    sf_private_tag* file_ = nullptr;
    QByteArray path_;
    QByteArray temporary_;
    QString error_;
};

}  // namespace scrivola
