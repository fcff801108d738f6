// Telling a living owner of unfinished library work from a dead one.
#include "ProcessOwner.h"

#include <QFile>
#include <csignal>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The token of a process made by fork and left running until killed.
class ChildProcess {
public:
    ChildProcess()
    {
        m_pid = fork();
        if (m_pid == 0) {
            for (;;) pause();
        }
    }
    ~ChildProcess() { Reap(); }
    QByteArray Token() const
    {
        // This process's token with the child's pid and start time.
        QList<QByteArray> parts = ProcessOwner::Current().split(':');
        parts[1] = QByteArray::number(static_cast<qint64>(m_pid));
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_pid));
        stat.open(QIODevice::ReadOnly);
        const QByteArray line = stat.readAll();
        parts[2] = line.mid(line.lastIndexOf(')') + 2).split(' ').value(22 - 3);
        return parts.join(':');
    }
    void Kill() const { kill(m_pid, SIGKILL); }
    void Reap()
    {
        if (m_pid <= 0) return;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }

private:
    pid_t m_pid = 0;
};

TEST(ProcessOwner, ThisProcessIsAliveAndNamed)
{
    const QByteArray token = ProcessOwner::Current();
    EXPECT_TRUE(ProcessOwner::IsAlive(token));
    EXPECT_EQ(getpid(), ProcessOwner::ProcessId(token));
    EXPECT_FALSE(ProcessOwner::Program(token).isEmpty());
}

TEST(ProcessOwner, AnotherStartTimeOrBootMeansAnotherProcess)
{
    QList<QByteArray> parts = ProcessOwner::Current().split(':');
    QList<QByteArray> reused = parts;
    reused[2] = "1";
    EXPECT_FALSE(ProcessOwner::IsAlive(reused.join(':')));
    QList<QByteArray> rebooted = parts;
    rebooted[0] = "another-boot";
    EXPECT_FALSE(ProcessOwner::IsAlive(rebooted.join(':')));
    EXPECT_FALSE(ProcessOwner::IsAlive("garbage"));
}

TEST(ProcessOwner, AKilledProcessIsDeadBeforeAndAfterItIsReaped)
{
    ChildProcess child;
    const QByteArray token = child.Token();
    EXPECT_TRUE(ProcessOwner::IsAlive(token));
    child.Kill();
    // Not yet reaped: a zombie, which kill(pid, 0) still finds.
    for (int i = 0; i < 1000 && ProcessOwner::IsAlive(token); ++i) usleep(1000);
    EXPECT_FALSE(ProcessOwner::IsAlive(token));
    child.Reap();
    EXPECT_FALSE(ProcessOwner::IsAlive(token));
}

// kill(pid, 0) on another user's process answers EPERM: it is alive.
TEST(ProcessOwner, AnotherUsersProcessCountsAsAlive)
{
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    const QByteArray token = ProcessOwner::Current();
    const pid_t checker = fork();
    if (checker == 0) {
        if (setuid(65534) != 0) _exit(2);
        _exit(ProcessOwner::IsAlive(token) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(checker, waitpid(checker, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
}

} // namespace
