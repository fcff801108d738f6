#include "LogindPowerNotices.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

std::unique_ptr<LogindPowerNotices> LogindPowerNotices::Connect()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kService)) return nullptr;
    std::unique_ptr<LogindPowerNotices> notices(new LogindPowerNotices);
    bus.connect(kService, kPath, kInterface, QStringLiteral("PrepareForSleep"), notices.get(), SLOT(OnPrepare(bool)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("PrepareForShutdown"), notices.get(),
                SLOT(OnPrepare(bool)));
    return notices;
}

void LogindPowerNotices::HoldDelay()
{
    if (m_inhibitor.isValid()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep:shutdown") << QStringLiteral("Albireo")
         << QStringLiteral("A disc is being imported") << QStringLiteral("delay");
    const QDBusReply<QDBusUnixFileDescriptor> reply = QDBusConnection::systemBus().call(call);
    if (reply.isValid()) m_inhibitor = reply.value();
}

void LogindPowerNotices::ReleaseDelay()
{
    // Closing our copy of the descriptor ends the inhibitor.
    m_inhibitor = QDBusUnixFileDescriptor();
}

void LogindPowerNotices::OnPrepare(bool starting)
{
    if (starting) emit ending();
}
