#include "InstanceChannel.h"

#include "NamedMutex.h"
#include "WinMessage.h"
#include "WindowActivation.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 3000;
const QString kSocketSuffix = QStringLiteral(".sock");

// What has a socket's name in the shared folder: another user may put
// anything there under our names, so only a socket of this user itself
// (not a link to one) is ever talked to or replaced.
enum class SocketName { Free, Ours, Foreign };

SocketName Inspect(const QString& path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT ? SocketName::Free : SocketName::Foreign;
    return S_ISSOCK(info.st_mode) && info.st_uid == ::geteuid() ? SocketName::Ours : SocketName::Foreign;
}

// A connection to the instance at `path`; null when no instance of this
// user answers there.
std::unique_ptr<QLocalSocket> Connect(const QString& path)
{
    if (Inspect(path) != SocketName::Ours) return nullptr;
    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(path);
    if (!socket->waitForConnected(kWaitMs)) return nullptr;
    return socket;
}

// Whether the socket's name may be taken: nothing is there, or a socket of
// this user that no one answers on (what a dead instance leaves), which is
// removed. Anything else (a file, a link, someone else's socket, a live
// instance) is left alone.
bool ClaimSocketName(const QString& path)
{
    switch (Inspect(path)) {
    case SocketName::Free: return true;
    case SocketName::Ours: return !Connect(path) && QLocalServer::removeServer(path);
    case SocketName::Foreign: return false;
    }
    return false;
}

} // namespace

QString InstanceChannel::SocketPath(const QString& windowClass)
{
    const QString folder = NamedMutex::RuntimeFolder();
    if (folder.isEmpty()) return {};
    return folder + u'/' + windowClass + u'-' + QString::number(::getuid()) + kSocketSuffix;
}

InstanceChannel::InstanceChannel(const QString& windowClass, QWidget* window)
    : m_window(window), m_server(std::make_unique<QLocalServer>())
{
    const QString path = SocketPath(windowClass);
    // Checked first: a server with access options renames its socket over
    // whatever has the name.
    if (path.isEmpty() || !ClaimSocketName(path)) return;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(path);
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
    if (verb == "RAISE")
        return WindowActivation::BringToFront(*window, QString::fromUtf8(QByteArray::fromBase64(argument))) ? "1" : "2";
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
InstanceChannel::Window::Raised InstanceChannel::Window::Raise(const QString& activationToken)
{
    const QString answer = Ask("RAISE " + activationToken.toUtf8().toBase64());
    if (answer == u"1") return Raised::ToFront;
    return answer == u"2" ? Raised::InPlace : Raised::NotDelivered;
}

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
    const QString path = SocketPath(windowClass);
    if (path.isEmpty()) return nullptr;
    auto socket = Connect(path);
    return socket ? std::make_unique<Window>(std::move(socket)) : nullptr;
}

int InstanceChannel::Broadcast(const QString& messageName)
{
    const QString suffix = u'-' + QString::number(::getuid()) + kSocketSuffix;
    int received = 0;
    const QString runtime = NamedMutex::RuntimeFolder();
    if (runtime.isEmpty()) return 0;
    const QDir folder(runtime);
    for (const QString& name : folder.entryList({u'*' + suffix}, QDir::System | QDir::Files)) {
        auto socket = Connect(folder.filePath(name));
        if (!socket) continue;
        Window window(std::move(socket));
        if (window.PostRegistered(messageName)) ++received;
    }
    return received;
}
