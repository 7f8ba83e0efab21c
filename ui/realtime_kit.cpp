#include "ui/realtime_kit.h"

#include <sys/resource.h>

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <algorithm>
#include <optional>

namespace scrivola {
namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");

// A property of the service; empty when it cannot be read.
std::optional<qlonglong> property(const QDBusConnection& bus, const QString& name) {
    QDBusInterface properties(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                              bus);
    const QDBusReply<QDBusVariant> reply = properties.call(QStringLiteral("Get"), kService, name);
    if (!reply.isValid()) {
        return std::nullopt;
    }
    return reply.value().variant().toLongLong();
}

// Asks the service to change a thread's scheduling; true when it did.
bool ask(const QDBusConnection& bus, const QString& method, pid_t tid, const QVariant& level) {
    QDBusInterface kit(kService, kPath, kService, bus);
    const QDBusReply<void> reply = kit.call(method, static_cast<quint64>(tid), level);
    return reply.isValid();
}

}  // namespace

bool RealtimeKitBroker::makeRealtime(pid_t tid, int priority) {
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return false;
    }
    const qlonglong maxPriority = property(bus, QStringLiteral("MaxRealtimePriority")).value_or(0);
    const qlonglong maxRtTimeUs = property(bus, QStringLiteral("RTTimeUSecMax")).value_or(0);
    if (maxPriority < 1 || maxRtTimeUs < 1) {
        return false;
    }
    // The service only serves processes that limit the CPU time a real-time
    // thread may take without blocking; the stream's thread blocks on every
    // write, so the limit only ever stops a runaway.
    const rlimit limit{static_cast<rlim_t>(maxRtTimeUs), static_cast<rlim_t>(maxRtTimeUs)};
    if (setrlimit(RLIMIT_RTTIME, &limit) != 0) {
        return false;
    }
    return ask(bus, QStringLiteral("MakeThreadRealtime"), tid,
               static_cast<quint32>(std::min<qlonglong>(priority, maxPriority)));
}

bool RealtimeKitBroker::makeHighPriority(pid_t tid, int nice) {
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return false;
    }
    const qlonglong minNice = property(bus, QStringLiteral("MinNiceLevel")).value_or(0);
    if (minNice >= 0) {
        return false;
    }
    return ask(bus, QStringLiteral("MakeThreadHighPriority"), tid,
               static_cast<qint32>(std::max<qlonglong>(nice, minNice)));
}

}  // namespace scrivola
