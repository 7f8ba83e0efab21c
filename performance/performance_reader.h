// Reads a performance file line by line, so that a file of any length takes
// the same memory. Every line is checked; the first fault ends the reading
// with the file, the line and the reason. A file that is missing, not a
// regular file, empty, cut short, not JSON, too long in a line, wrong in a
// field, out of order or of a newer format version is refused that way.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>

#include "performance/performance_event.h"

namespace scrivola {

struct PerformanceError {
    QString file;           // the file's name as text, for the message
    std::int64_t line = 0;  // 0: the file as a whole
    QString reason;
    // "FILE, line N: reason" (or "FILE: reason").
    QString message() const;
};

class PerformanceReader {
public:
    // The longest line of each kind, newline included.
    static constexpr qint64 kMaxHeaderLine = 4 * 1024;
    static constexpr qint64 kMaxStateLine = 10 * 1024 * 1024;
    static constexpr qint64 kMaxEventLine = 64 * 1024;

    // Opens `path` (the file's name as the system's bytes) and reads its
    // header and starting state. False, with error() set, when either is
    // missing or wrong.
    bool open(const QByteArray& path);

    const PerformanceHeader& header() const { return header_; }
    const StartingState& startingState() const { return start_; }

    // The next event. False at the end of the file, or at a fault, which
    // failed() and error() then tell.
    bool next(PerformanceEvent& event);

    bool failed() const { return !error_.reason.isEmpty(); }
    const PerformanceError& error() const { return error_; }
    // The time of the last event read (0 before any).
    double lastTime() const { return lastTime_; }

private:
    enum class Line { Read, End, Fault };
    // Reads the next line that is not blank into `current_`.
    Line readLine(qint64 maxLength);
    bool fail(const QString& reason);

    QFile file_;
    QByteArray line_;     // the buffer lines are read into
    QByteArray current_;  // the line read last, in `line_`
    std::int64_t lineNumber_ = 0;
    PerformanceHeader header_;
    StartingState start_;
    double lastTime_ = 0.0;
    bool ended_ = false;
    bool sawEnd_ = false;
    bool unterminated_ = false;
    PerformanceError error_;
};

struct PerformanceSummary {
    PerformanceHeader header;
    double duration = 0.0;  // the time of the last event
    std::uint64_t events = 0;
};

// Reads the whole file once, checking every line. The error when it has a
// fault; otherwise nothing, and `summary` (when given) describes the file.
std::optional<PerformanceError> checkPerformanceFile(const QByteArray& path,
                                                     PerformanceSummary* summary = nullptr);

}  // namespace scrivola
