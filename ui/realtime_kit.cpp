#include "ui/realtime_kit.h"

#include <sys/resource.h>

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <algorithm>

namespace scrivola {
namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");

// A property of the service, or -1 when it cannot be read.
qlonglong property(const QDBusConnection& bus, const QString& name) {
    QDBusInterface properties(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                              bus);
    const QDBusReply<QDBusVariant> reply = properties.call(QStringLiteral("Get"), kService, name);
    return reply.isValid() ? reply.value().variant().toLongLong() : -1;
}

}  // namespace

bool RealtimeKitBroker::makeRealtime(pid_t tid, int priority) {
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return false;
    }
    const qlonglong maxPriority = property(bus, QStringLiteral("MaxRealtimePriority"));
    const qlonglong maxRtTimeUs = property(bus, QStringLiteral("RTTimeUSecMax"));
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
    QDBusInterface kit(kService, kPath, kService, bus);
    const QDBusReply<void> reply =
        kit.call(QStringLiteral("MakeThreadRealtime"), static_cast<quint64>(tid),
                 static_cast<quint32>(std::min<qlonglong>(priority, maxPriority)));
    return reply.isValid();
}

bool RealtimeKitBroker::makeHighPriority(pid_t tid, int nice) {
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return false;
    }
    const qlonglong minNice = property(bus, QStringLiteral("MinNiceLevel"));
    if (minNice == -1 || minNice >= 0) {
        return false;
    }
    QDBusInterface kit(kService, kPath, kService, bus);
    const QDBusReply<void> reply =
        kit.call(QStringLiteral("MakeThreadHighPriority"), static_cast<quint64>(tid),
                 static_cast<qint32>(std::max<qlonglong>(nice, minNice)));
    return reply.isValid();
}

}  // namespace scrivola
