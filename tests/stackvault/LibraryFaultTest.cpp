// Faults injected into the library: an importing process killed at random
// moments, and a disk that fills up in the middle of an import.
#include "EngineTestSupport.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Kill moments by default; ALBIREO_SOAK=1 runs the full twenty.
int KillRounds() { return qEnvironmentVariableIntValue("ALBIREO_SOAK") ? 20 : 4; }

class LibraryFaultTest : public ::testing::Test {
protected:
    void SetUp() override { UseFreshDatabase(); }

    // Runs the stepping import and kills it after `steps` of its calls and
    // a few hundred microseconds more; true when it had closed before.
    static bool KillImportAfter(int steps, int extraMicroseconds)
    {
        QProcess child;
        child.start(TestEnvironment::TestBinary(QStringLiteral("stackvault_import_child")), {QStringLiteral("steps")});
        EXPECT_TRUE(child.waitForStarted());
        QByteArray last;
        for (int seen = 0; seen <= steps && last != "closed" && last != "ready";) {
            if (!child.canReadLine() && !child.waitForReadyRead(30000)) break;
            while (child.canReadLine() && seen <= steps) {
                last = child.readLine().trimmed();
                seen += last == "step";
            }
        }
        QThread::usleep(static_cast<unsigned long>(extraMicroseconds));
        child.kill();
        child.waitForFinished();
        last += child.readAllStandardOutput();
        return last.contains("closed") || last.contains("ready");
    }
};

TEST_F(LibraryFaultTest, AnImportKilledAtAnyMomentLeavesNothingOfItsDisc)
{
    int other = 0;
    {
        EngineInstance engine;
        other = AddTestDisc(engine.get(), QStringLiteral("Other"), "OTHER");
        LibraryImportHandle handle = nullptr;
        ASSERT_EQ(S_OK, engine->OpenImportHandle(&handle));
        ASSERT_EQ(S_OK, engine->InsertPathRows(handle, W(Batch({PathRow(1, QStringLiteral("\\KEEP"))})), 1));
        ASSERT_EQ(S_OK, engine->InsertFolderRows(handle, W(Batch({EntryRow({1, QStringLiteral("KEEP"), 0, QStringLiteral("Folder"), 1, other, 4, 0, 0})}, true)), 1));
        ASSERT_EQ(S_OK, engine->InsertFileRows(handle, W(Batch({EntryRow({1, QStringLiteral("kept.txt"), 3, QStringLiteral("File"), 1, other, 4, 1, 1})})), 1));
        ASSERT_EQ(S_OK, engine->CloseImportHandle(handle));
    }
    QRandomGenerator random(QRandomGenerator::global()->generate());
    constexpr int kSteps = 12; // the child's calls: open, path, folder, ten file batches, close
    for (int round = 0; round < KillRounds(); ++round) {
        const int steps = static_cast<int>(random.bounded(kSteps + 1));
        const int extra = static_cast<int>(random.bounded(3000));
        SCOPED_TRACE(testing::Message() << "killed after step " << steps << " +" << extra << " us");
        const bool closed = KillImportAfter(steps, extra);
        EngineInstance after;
        ASSERT_EQ(S_OK, after.InitializeResult());
        LONG disc = -1;
        ASSERT_EQ(S_OK, after->FindDiscByIdentity("STEPS", &disc));
        const size_t found = FoundFiles(after.get(), QStringLiteral("stepfile")).size();
        if (closed) {
            EXPECT_EQ(6000u, found);
            ASSERT_EQ(S_OK, after->DeleteDisc(disc, 0)); // for the next round
        } else {
            EXPECT_EQ(0, disc);
            EXPECT_EQ(0u, found);
            LONG path = -1;
            EXPECT_EQ(S_OK, after->FindPathId(nullptr, u"\\stepfileDIR", &path));
            EXPECT_LT(path, 1);
        }
        const auto discs = Discs(after.get());
        ASSERT_EQ(1u, discs.size());
        EXPECT_EQ(other, discs[0].discId);
        EXPECT_EQ(QStringList{QStringLiteral("KEEP")}, Names(FolderItems(after.get(), other, 0)));
        EXPECT_EQ(QStringList{QStringLiteral("kept.txt")}, Names(FolderItems(after.get(), other, 1)));
        EXPECT_EQ(1u, FoundFiles(after.get(), QStringLiteral("kept")).size());
        ExpectConsistentDatabase();
    }
}

// The child mounts a small tmpfs in a user and mount namespace of its own,
// so the test needs unshare and a kernel that allows them.
TEST_F(LibraryFaultTest, AFullDiskLeavesTheLibraryReadableAndImportsResumeWithRoom)
{
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty()) GTEST_SKIP() << "unshare is missing";
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("smalldisk"));
    QProcess child;
    child.start(unshare, {QStringLiteral("--user"), QStringLiteral("--map-root-user"), QStringLiteral("--mount"),
                          TestEnvironment::TestBinary(QStringLiteral("stackvault_import_child")),
                          QStringLiteral("diskfull"), folder});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QByteArray errors = child.readAllStandardError();
    if (errors.contains("mount failed") || errors.contains("unshare:"))
        GTEST_SKIP() << "no user and mount namespaces here: " << errors.constData();
    ASSERT_EQ(0, child.exitCode()) << errors.constData();
    QMap<QByteArray, qint64> report;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
        if (const QList<QByteArray> parts = line.split(' '); parts.size() == 2)
            report.insert(parts[0], static_cast<qint64>(parts[1].toLongLong()));
    const qint64 diskFull = 0x80070070;
    EXPECT_EQ(diskFull, report.value("filling")) << "the import fills the disk and fails cleanly";
    // Opened for reading: what was there is listed and found, nothing of the
    // killed import, and a change fails saying why.
    EXPECT_EQ(LIBRARY_S_READ_ONLY, report.value("open", -1));
    EXPECT_EQ(1, report.value("discs", -1));
    EXPECT_EQ(111, report.value("found", -1));
    EXPECT_EQ(diskFull, report.value("reason"));
    EXPECT_EQ(diskFull, report.value("add"));
    // With room the clean-up happens and the next import succeeds.
    EXPECT_EQ(S_OK, report.value("import", -1));
    EXPECT_EQ(S_OK, report.value("reason-after", -1));
    EXPECT_EQ(2, report.value("discs-after", -1));
    EXPECT_EQ(0, report.value("big-after", -1));
    EXPECT_EQ(0, report.value("integrity-errors", -1));
}

} // namespace
