// How one instance of a program finds and activates another: a local socket
// named after the window class of the running instance's main window (in
// the run-time folder, one per user) stands in for finding that window,
// restoring and raising it, and sending it WM_COPYDATA.
//
// The running instance listens:          InstanceChannel channel(u"Albireo13", mainWindow);
// A second instance asks:                auto other = InstanceChannel::Find(u"Albireo13");
//                                        if (other && other->IsVisible()) other->Raise(token);
//
// Requests are lines of text; WM_COPYDATA reaches the window through the
// message seam with lParam pointing to a COPYDATASTRUCT.
#pragma once
#include "wintypes.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QWidget;

struct COPYDATASTRUCT {
    ULONG_PTR dwData;
    DWORD cbData;
    void* lpData;
};

class InstanceChannel : public QObject {
    Q_OBJECT
public:
    // Listens for other instances on behalf of `window`; a socket of this
    // user left by a dead instance is replaced, anything else under its
    // name is left alone (and the channel does not listen).
    InstanceChannel(const QString& windowClass, QWidget* window);
    ~InstanceChannel() override;
    bool IsListening() const;

    // The socket path of a window class for this user.
    static QString SocketPath(const QString& windowClass);

    // The client side: a running instance's window.
    class Window {
    public:
        explicit Window(std::unique_ptr<QLocalSocket> socket);
        ~Window();
        bool IsVisible();
        bool IsIconic();
        bool Restore();
        // Raises the window, spending the activation token this start was
        // launched with (Wayland brings a window forward only with one).
        enum class Raised { ToFront, InPlace, NotDelivered };
        Raised Raise(const QString& activationToken);
        // WM_COPYDATA with `wParam` and the path as zero-terminated UTF-16;
        // the window's answer, or -1 when it could not be delivered.
        LRESULT CopyData(WPARAM wParam, ULONG_PTR tag, const QString& text);
        // A registered message by name; true when the instance took it.
        bool PostRegistered(const QString& messageName);

    private:
        QString Ask(const QByteArray& request);
        std::unique_ptr<QLocalSocket> m_socket;
    };
    // Null when no instance of that window class runs for this user.
    static std::unique_ptr<Window> Find(const QString& windowClass);
    // Posts a registered message by name to every listening instance of
    // this user; returns how many received it.
    static int Broadcast(const QString& messageName);

signals:
    // A broadcast message reached this instance.
    void broadcastReceived(const QString& messageName);

private:
    void OnConnection();
    QByteArray Answer(const QByteArray& request);

    QPointer<QWidget> m_window;
    std::unique_ptr<QLocalServer> m_server;
};
