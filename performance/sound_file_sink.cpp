#include "performance/sound_file_sink.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/sound_file_format.h"

namespace scrivola {
namespace {

// A plain WAV file holds at most 4 GiB; a longer sound is written as RF64.
constexpr std::uint64_t kMaxWavFrames = (std::uint64_t{1} << 31) - (1 << 20);

// The libsndfile format the extension names for a sound of `frames`
// samples; 0 for none. A long WAV becomes RF64.
int formatFor(const QByteArray& path, std::uint64_t frames = 0) {
    const int format = soundFileFormatFor(path.toStdString());
    if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV && frames >= kMaxWavFrames) {
        return (format & ~SF_FORMAT_TYPEMASK) | SF_FORMAT_RF64;
    }
    return format;
}

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

SoundFileSink::~SoundFileSink() {
    discard();
}

QString SoundFileSink::formatProblem(const QByteArray& path) {
    return QString::fromStdString(soundFileNameProblem(path.toStdString()));
}

QString SoundFileSink::open(const QByteArray& path, unsigned rate, std::uint64_t frames) {
    discard();
    error_.clear();
    const int format = formatFor(path, frames);
    if (format == 0) {
        return formatProblem(path);
    }
    path_ = path;
    temporary_ = path_ + ".XXXXXX";
    const int fd = mkstemp(temporary_.data());
    if (fd < 0) {
        temporary_.clear();
        return systemError();
    }
    // mkstemp's file is private; the sound file gets the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = 1;
    info.format = format;
    file_ = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
    if (file_ == nullptr) {
        const QString reason = QString::fromLocal8Bit(sf_strerror(nullptr));
        ::close(fd);
        discard();
        return reason;
    }
    return {};
}

bool SoundFileSink::write(const std::int16_t* samples, std::size_t frames) {
    if (file_ == nullptr) {
        return false;
    }
    const sf_count_t count = static_cast<sf_count_t>(frames);
    if (sf_write_short(file_, samples, count) != count) {
        error_ = QString::fromLocal8Bit(sf_strerror(file_));
        return false;
    }
    return true;
}

QString SoundFileSink::commit() {
    if (file_ == nullptr) {
        return QStringLiteral("no file is open");
    }
    const int closed = sf_close(file_);
    file_ = nullptr;
    if (closed != 0) {
        const QString reason = QString::fromLocal8Bit(sf_error_number(closed));
        discard();
        return reason;
    }
    if (std::rename(temporary_.constData(), path_.constData()) != 0) {
        const QString reason = systemError();
        discard();
        return reason;
    }
    temporary_.clear();
    return {};
}

void SoundFileSink::discard() {
    if (file_ != nullptr) {
        sf_close(file_);
        file_ = nullptr;
    }
    if (!temporary_.isEmpty()) {
        ::unlink(temporary_.constData());
        temporary_.clear();
    }
}

}  // namespace scrivola
