// The channel between instances takes over only a socket that a dead
// instance of this user left; anything else under its name (a file, a
// link, a live instance) is left as it is.
#include "InstanceChannel.h"

#include "NamedMutex.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString kClass = QStringLiteral("ChannelTest13");

// What a killed instance leaves: a bound socket no one listens on.
void LeaveDeadSocket(const QString& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    ASSERT_LT(size_t(native.size()), sizeof address.sun_path);
    memcpy(address.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(0, bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address));
    close(fd);
}

TEST(InstanceChannel, OnlyADeadInstancesSocketIsTakenOver)
{
    const QByteArray saved = qgetenv("ALBIREO_RUNTIME_DIR");
    qputenv("ALBIREO_RUNTIME_DIR", QFile::encodeName(TestEnvironment::MakeFolder("channel")));
    const QString path = InstanceChannel::SocketPath(kClass);
    ASSERT_FALSE(path.isEmpty());

    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a socket");
    }
    EXPECT_FALSE(InstanceChannel(kClass, nullptr).IsListening());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("not a socket"));
    file.close();

    ASSERT_TRUE(QFile::remove(path));
    const QString elsewhere = TestEnvironment::MakeFolder("elsewhere") + QStringLiteral("/target");
    ASSERT_TRUE(QFile::link(elsewhere, path));
    EXPECT_FALSE(InstanceChannel(kClass, nullptr).IsListening());
    EXPECT_TRUE(QFileInfo(path).isSymLink()) << "a link is left in place";
    EXPECT_FALSE(QFileInfo::exists(elsewhere));

    ASSERT_TRUE(QFile::remove(path));
    LeaveDeadSocket(path);
    InstanceChannel running(kClass, nullptr);
    EXPECT_TRUE(running.IsListening()) << "a dead instance's socket is replaced";
    EXPECT_TRUE(InstanceChannel::Find(kClass));

    // A second channel of the class finds the first alive and leaves it.
    EXPECT_FALSE(InstanceChannel(kClass, nullptr).IsListening());
    EXPECT_TRUE(InstanceChannel::Find(kClass)) << "the running instance still answers";

    // Nothing is sent through a link to the socket, nor to a socket that
    // another user put under the name.
    const QString moved = path + QStringLiteral(".moved");
    ASSERT_TRUE(QFile::rename(path, moved));
    ASSERT_TRUE(QFile::link(moved, path));
    EXPECT_FALSE(InstanceChannel::Find(kClass)) << "through a link";
    EXPECT_EQ(InstanceChannel::Broadcast(QStringLiteral("ChannelTestMessage")), 0);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(moved, path));
    if (geteuid() == 0) {
        ASSERT_EQ(0, lchown(QFile::encodeName(path).constData(), 65534, 65534));
        EXPECT_FALSE(InstanceChannel::Find(kClass)) << "another user's socket";
        ASSERT_EQ(0, lchown(QFile::encodeName(path).constData(), 0, 0));
    }
    EXPECT_TRUE(InstanceChannel::Find(kClass));
    qputenv("ALBIREO_RUNTIME_DIR", saved);
}

} // namespace
