// Writes a performance file as the performance goes: the header and the
// starting state first, then one line per event. What has been written
// reaches the file at least every kFlushIntervalMs, so a program that is
// killed leaves a file that plays up to less than a second before the end;
// nothing is kept in memory beyond the file's buffer.
#pragma once

#include <QFile>
#include <QString>
#include <chrono>

#include "performance/performance_event.h"

namespace scrivola {

class PerformanceWriter {
public:
    static constexpr int kFlushIntervalMs = 500;

    // Creates (or replaces) `path` and writes the header and the starting
    // state. Empty on success, otherwise why it failed (nothing is open).
    QString open(const QString& path, const PerformanceHeader& header, const StartingState& start);
    bool isOpen() const { return file_.isOpen(); }
    // Appends one event. False once writing has failed, or for an event
    // later than a performance may last; error() tells why.
    bool write(const PerformanceEvent& event);
    // Writes the end at `time`, flushes and closes. Empty when everything
    // reached the file, otherwise why not. Harmless when nothing is open.
    QString finish(double time);

    bool failed() const { return !error_.isEmpty(); }
    const QString& error() const { return error_; }

private:
    bool writeLine(const QByteArray& line);

    QFile file_;
    QString error_;
    std::chrono::steady_clock::time_point lastFlush_{};
};

}  // namespace scrivola
