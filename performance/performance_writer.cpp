#include "performance/performance_writer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "performance/performance_json.h"

namespace scrivola {

QString PerformanceWriter::open(const QString& path, const PerformanceHeader& header,
                                const StartingState& start) {
    file_.close();
    error_.clear();
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return file_.errorString();
    }
    lastFlush_ = std::chrono::steady_clock::now();
    if (!writeLine(QJsonDocument(headerToJson(header)).toJson(QJsonDocument::Compact)) ||
        !writeLine(QJsonDocument(stateToJson(start)).toJson(QJsonDocument::Compact)) ||
        !file_.flush()) {
        const QString reason = error_.isEmpty() ? file_.errorString() : error_;
        file_.close();
        return reason;
    }
    return {};
}

bool PerformanceWriter::writeLine(const QByteArray& line) {
    if (failed()) {
        return false;
    }
    if (file_.write(line) != line.size() || !file_.putChar('\n')) {
        error_ = file_.errorString();
        return false;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - lastFlush_ >= std::chrono::milliseconds(kFlushIntervalMs)) {
        lastFlush_ = now;
        if (!file_.flush()) {
            error_ = file_.errorString();
            return false;
        }
    }
    return true;
}

bool PerformanceWriter::write(const PerformanceEvent& event) {
    if (!file_.isOpen() || failed()) {
        return false;
    }
    if (event.time > kMaxPerformanceSeconds) {
        error_ = QStringLiteral("a performance file holds at most %1 hours")
                     .arg(kMaxPerformanceSeconds / 3600);
        return false;
    }
    return writeLine(QJsonDocument(eventToJson(event)).toJson(QJsonDocument::Compact));
}

QString PerformanceWriter::finish(double time) {
    if (!file_.isOpen()) {
        return {};
    }
    PerformanceEvent end;
    end.kind = EventKind::End;
    end.time = std::min(time, kMaxPerformanceSeconds);
    if (!failed()) {
        writeLine(QJsonDocument(eventToJson(end)).toJson(QJsonDocument::Compact));
    }
    if (!failed() && !file_.flush()) {
        error_ = file_.errorString();
    }
    file_.close();
    return error_;
}

}  // namespace scrivola
