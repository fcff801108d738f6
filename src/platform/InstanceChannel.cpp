#include "InstanceChannel.h"

#include "NamedMutex.h"
#include "WinMessage.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 3000;
const QString kSocketSuffix = QStringLiteral(".sock");

std::unique_ptr<QLocalSocket> Connect(const QString& path)
{
    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(path);
    if (!socket->waitForConnected(kWaitMs)) return nullptr;
    return socket;
}

} // namespace

QString InstanceChannel::SocketPath(const QString& windowClass)
{
    return NamedMutex::RuntimeFolder() + u'/' + windowClass + u'-' + QString::number(::getuid()) + kSocketSuffix;
}

InstanceChannel::InstanceChannel(const QString& windowClass, QWidget* window)
    : m_window(window), m_server(std::make_unique<QLocalServer>())
{
    const QString path = SocketPath(windowClass);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        // Only one instance runs at a time (the instance mutex), so a socket
        // that is there is a dead instance's.
        QLocalServer::removeServer(path);
        m_server->listen(path);
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &InstanceChannel::OnConnection);
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::IsListening() const { return m_server->isListening(); }

void InstanceChannel::OnConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) socket->write(Answer(socket->readLine().trimmed()) + '\n');
            socket->flush();
        });
    }
}

QByteArray InstanceChannel::Answer(const QByteArray& request)
{
    const int space = request.indexOf(' ');
    const QByteArray verb = space < 0 ? request : request.left(space);
    const QByteArray argument = space < 0 ? QByteArray() : request.mid(space + 1);
    if (verb == "BROADCAST") {
        emit broadcastReceived(QString::fromUtf8(QByteArray::fromBase64(argument)));
        return "1";
    }
    QWidget* window = m_window.data();
    if (!window) return "0";
    if (verb == "VISIBLE") return window->isVisible() ? "1" : "0";
    if (verb == "ICONIC") return window->isMinimized() ? "1" : "0";
    if (verb == "RESTORE") {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        return "1";
    }
    if (verb == "RAISE") {
        window->raise();
        window->activateWindow();
        return "1";
    }
    if (verb == "COPYDATA") {
        const QList<QByteArray> parts = argument.split(' ');
        if (parts.size() != 3) return "-1";
        QString text = QString::fromUtf8(QByteArray::fromBase64(parts[2]));
        std::u16string data(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()) + 1);
        COPYDATASTRUCT copy{ULONG_PTR(parts[1].toULongLong()), DWORD(data.size() * sizeof(char16_t)), data.data()};
        return QByteArray::number(
            qlonglong(SendMessage(window, WM_COPYDATA, WPARAM(parts[0].toULongLong()), LPARAM(&copy))));
    }
    return "-1";
}

InstanceChannel::Window::Window(std::unique_ptr<QLocalSocket> socket) : m_socket(std::move(socket)) {}
InstanceChannel::Window::~Window() = default;

QString InstanceChannel::Window::Ask(const QByteArray& request)
{
    m_socket->write(request + '\n');
    m_socket->flush();
    while (!m_socket->canReadLine())
        if (!m_socket->waitForReadyRead(kWaitMs)) return QString();
    return QString::fromUtf8(m_socket->readLine().trimmed());
}

bool InstanceChannel::Window::IsVisible() { return Ask("VISIBLE") == u"1"; }
bool InstanceChannel::Window::IsIconic() { return Ask("ICONIC") == u"1"; }
bool InstanceChannel::Window::Restore() { return Ask("RESTORE") == u"1"; }
bool InstanceChannel::Window::Raise() { return Ask("RAISE") == u"1"; }

LRESULT InstanceChannel::Window::CopyData(WPARAM wParam, ULONG_PTR tag, const QString& text)
{
    const QByteArray request = "COPYDATA " + QByteArray::number(qulonglong(wParam)) + ' ' +
                               QByteArray::number(qulonglong(tag)) + ' ' + text.toUtf8().toBase64();
    bool ok = false;
    const LRESULT answer = Ask(request).toLongLong(&ok);
    return ok ? answer : -1;
}

bool InstanceChannel::Window::PostRegistered(const QString& messageName)
{
    return Ask("BROADCAST " + messageName.toUtf8().toBase64()) == u"1";
}

std::unique_ptr<InstanceChannel::Window> InstanceChannel::Find(const QString& windowClass)
{
    auto socket = Connect(SocketPath(windowClass));
    return socket ? std::make_unique<Window>(std::move(socket)) : nullptr;
}

int InstanceChannel::Broadcast(const QString& messageName)
{
    const QString suffix = u'-' + QString::number(::getuid()) + kSocketSuffix;
    int received = 0;
    const QDir folder(NamedMutex::RuntimeFolder());
    for (const QString& name : folder.entryList({u'*' + suffix}, QDir::System | QDir::Files)) {
        auto socket = Connect(folder.filePath(name));
        if (!socket) continue;
        Window window(std::move(socket));
        if (window.PostRegistered(messageName)) ++received;
    }
    return received;
}
