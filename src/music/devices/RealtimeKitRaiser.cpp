// The RealtimeKit client.
#include "music/devices/RealtimeKitRaiser.h"

#include "music/base/Log.h"

#include <algorithm>
#include <optional>
#include <sys/resource.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QVariant>

namespace pv {

namespace {

constexpr const char* kService = "org.freedesktop.RealtimeKit1";
constexpr const char* kPath = "/org/freedesktop/RealtimeKit1";
constexpr const char* kInterface = "org.freedesktop.RealtimeKit1";
// A blocked bus must not hold the timing thread for long; it plays unprivileged meanwhile.
constexpr int kCallTimeoutMs = 500;

/// A property of the service; nothing when it cannot be read.
std::optional<qlonglong> ServiceProperty(QDBusConnection& bus, const char* name)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        QString::fromUtf8(kService), QString::fromUtf8(kPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QString::fromUtf8(kInterface) << QString::fromUtf8(name);
    const QDBusMessage reply = bus.call(get, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const QVariant value = reply.arguments().constFirst().value<QDBusVariant>().variant();
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    return ok ? std::optional<qlonglong>(number) : std::nullopt;
}

} // namespace

bool RealtimeKitRaiser::MakeRealtime(std::int64_t threadId, int priority)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    const std::optional<qlonglong> maxPriority = ServiceProperty(bus, "MaxRealtimePriority");
    const std::optional<qlonglong> maxRtTimeUs = ServiceProperty(bus, "RTTimeUSecMax");
    if (!maxPriority || !maxRtTimeUs || *maxPriority < 1 || *maxRtTimeUs <= 0)
        return false;

    // The service refuses a process without this limit; a lower limit already set stays.
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) != 0)
        return false;
    const auto ceiling = static_cast<rlim_t>(*maxRtTimeUs);
    if (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > ceiling) {
        limit.rlim_cur = std::min(limit.rlim_cur, ceiling);
        limit.rlim_max = ceiling;
        if (setrlimit(RLIMIT_RTTIME, &limit) != 0)
            return false;
    }

    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromUtf8(kService), QString::fromUtf8(kPath), QString::fromUtf8(kInterface),
        QStringLiteral("MakeThreadRealtime"));
    call << QVariant::fromValue(static_cast<qulonglong>(threadId))
         << QVariant::fromValue(
                static_cast<uint>(std::clamp<qlonglong>(priority, 1, *maxPriority)));
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        qCInfo(lcPellivark) << "RealtimeKit refused real-time scheduling:" << reply.errorMessage();
        return false;
    }
    return true;
}

} // namespace pv
