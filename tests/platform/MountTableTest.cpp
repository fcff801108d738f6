// Finding a device's mount point in a mount table written as the kernel
// writes /proc/self/mounts.
#include "MountTable.h"
#include "TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QString WriteTable(const QString& folder, const QByteArray& text)
{
    const QString path = folder + "/mounts";
    QFile table(path);
    table.open(QIODevice::WriteOnly);
    table.write(text);
    return path;
}

} // namespace

TEST(MountTable, FindsTheLastMountOfTheDeviceThroughLinksAndEscapes)
{
    const QString folder = TestEnvironment::MakeFolder("mounts");
    QFile(folder + "/sr0").open(QIODevice::WriteOnly);
    QFile::link(folder + "/sr0", folder + "/cdrom");
    const QByteArray sr0 = (folder + "/sr0").toUtf8();
    const QString table = WriteTable(folder, "proc /proc proc rw,nosuid 0 0\n"
                                             "/dev/sda1 / ext4 rw 0 0\n" +
                                                 sr0 + " /media/old iso9660 ro 0 0\n" + sr0 +
                                                 " /media/me/Summer\\0402025\\134x\\011tab iso9660 ro,nosuid 0 0\n");
    EXPECT_EQ(MountTable::MountPointOf(folder + "/sr0", table), "/media/me/Summer 2025\\x\ttab");
    EXPECT_EQ(MountTable::MountPointOf(folder + "/cdrom", table), "/media/me/Summer 2025\\x\ttab")
        << "a link to the device finds its mounts";
    EXPECT_EQ(MountTable::MountPointOf(folder + "/sr1", table), "") << "not mounted";
    EXPECT_EQ(MountTable::MountPointOf(folder + "/sr0", folder + "/no-table"), "");
}

TEST(MountTable, EscapesAreDecodedOnlyWhenWhole)
{
    EXPECT_EQ(MountTable::DecodeField("/media/a\\040b"), "/media/a b");
    EXPECT_EQ(MountTable::DecodeField("/media/a\\04"), "/media/a\\04");
    EXPECT_EQ(MountTable::DecodeField("/media/a\\9xy"), "/media/a\\9xy");
    EXPECT_EQ(MountTable::DecodeField("/media/\\303\\274ber"), QString::fromUtf8("/media/über"));
}
