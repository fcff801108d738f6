// The registry API over the file store: keys, typed values, enumeration,
// deletion, damaged files, failed writes and two processes writing at once.
#include "Registry.h"
#include "RegistryData.h"
#include "RegistryStore.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cerrno>
#include <unistd.h>
#include <gtest/gtest.h>

namespace {

const WCHAR* kKey = u"Software\\Quorvel\\Flintwell13";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { TestEnvironment::ResetRegistry(); }

    HKEY Create(HKEY root, const WCHAR* path)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
        return key;
    }
    void SetDword(HKEY key, const WCHAR* name, DWORD value)
    {
        ASSERT_EQ(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4), ERROR_SUCCESS);
    }
    DWORD QueryDword(HKEY key, const WCHAR* name)
    {
        DWORD value = 0, size = 4, type = 0;
        EXPECT_EQ(RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
        return value;
    }
};

TEST_F(RegistryTest, ValuesKeepTypeAndExactBytesAcrossReopen)
{
    HKEY key = Create(HKEY_CURRENT_USER, kKey);
    const char16_t text[] = u"ENU";
    ASSERT_EQ(RegSetValueExW(key, u"CurrentLang", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 6), ERROR_SUCCESS);
    const BYTE blob[5] = {0, 1, 0xFF, 0, 7};
    ASSERT_EQ(RegSetValueExW(key, u"Blob", 0, REG_BINARY, blob, 5), ERROR_SUCCESS);
    RegCloseKey(key);
    RegistryStore::ResetRoots(); // forces a fresh read of the file

    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"software\\QUORVEL\\flintwell13", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExW(key, u"currentlang", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 6u);
    BYTE small[4];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key, u"Blob", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    BYTE read[8] = {};
    size = sizeof read;
    ASSERT_EQ(RegQueryValueExW(key, u"Blob", nullptr, &type, read, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(read), size), QByteArray(reinterpret_cast<const char*>(blob), 5));
    RegCloseKey(key);
}

TEST_F(RegistryTest, MissingKeysAndValuesFailAndRootsAreSeparate)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    key = Create(HKEY_LOCAL_MACHINE, kKey);
    SetDword(key, u"EnableDPIAware", 1);
    DWORD size = 4;
    BYTE data[4];
    EXPECT_EQ(RegQueryValueExW(key, u"Other", nullptr, nullptr, data, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    // The 64-bit view of the machine root is the same store.
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | KEY_WOW64_64KEY, &key), ERROR_SUCCESS);
    EXPECT_EQ(QueryDword(key, u"EnableDPIAware"), 1u);
    RegCloseKey(key);
}

TEST_F(RegistryTest, EnumerationFollowsCreationOrderAndDeletionRemovesSubtree)
{
    HKEY key = Create(HKEY_CURRENT_USER, u"A\\List");
    for (const WCHAR* name : {u"9", u"10", u"1", u"b", u"A"})
        SetDword(key, name, 1);
    SetDword(key, u"10", 2); // replacing keeps the place
    ASSERT_EQ(RegDeleteValueW(key, u"1"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key, u"1"), ERROR_FILE_NOT_FOUND);
    QStringList names;
    WCHAR name[32];
    DWORD length = 32;
    for (DWORD i = 0; RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = 32)
        names << QString::fromUtf16(name, length);
    EXPECT_EQ(names, QStringList({"9", "10", "b", "A"}));
    RegCloseKey(key);

    RegCloseKey(Create(HKEY_CURRENT_USER, u"A\\List\\Sub"));
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"a\\list"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"A\\List\\Sub", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"A", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DamagedStoreReadsEmptyIsKeptAsideAndReportedOnce)
{
    HKEY key = Create(HKEY_CURRENT_USER, kKey);
    SetDword(key, u"Kept", 7);
    RegCloseKey(key);
    const QString file = RegistryStore::CurrentUser().FilePath();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QByteArray whole = f.readAll();
    f.resize(whole.size() / 2); // a truncated store
    f.close();

    testing::internal::CaptureStderr();
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    key = Create(HKEY_CURRENT_USER, u"Fresh");
    RegCloseKey(key);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(QString::fromStdString(err).count("is damaged"), 1) << err;
    EXPECT_NE(err.find("[Registry] "), std::string::npos);

    QStringList aside = QDir(QFileInfo(file).absolutePath()).entryList({"user.reg.damaged-*"});
    ASSERT_EQ(aside.size(), 1);
    QFile kept(QFileInfo(file).absolutePath() + "/" + aside[0]);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), whole.left(whole.size() / 2));
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Fresh", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(RegistryFile, ParseRefusesTamperingAndRoundTrips)
{
    RegistryData data;
    RegistryKey& key = data.CreateKey(QStringLiteral("Software\\Name with space\\100%"));
    key.values.push_back({"v\nline", REG_BINARY, QByteArray("\0\1", 2)});
    key.values.push_back({"", REG_SZ, QByteArray()});
    const QByteArray text = data.Serialize();
    auto parsed = RegistryData::Parse(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->Serialize(), text);
    ASSERT_TRUE(parsed->FindKey("software\\NAME WITH SPACE\\100%"));
    EXPECT_TRUE(parsed->FindKey("Software"));

    QByteArray altered = text;
    altered[text.indexOf("V ") + 2] = 'x';
    EXPECT_FALSE(RegistryData::Parse(altered));
    EXPECT_FALSE(RegistryData::Parse(text.left(text.size() - 3)));
    EXPECT_FALSE(RegistryData::Parse(QByteArray()));
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing)
{
    const int perProcess = 150;
    QProcess other;
    other.setProgram(TestEnvironment::TestBinary("registry_hammer"));
    other.setArguments({"other", QString::number(perProcess)});
    other.start();
    ASSERT_TRUE(other.waitForStarted());
    HKEY key = Create(HKEY_CURRENT_USER, u"Hammer");
    for (int i = 0; i < perProcess; ++i) {
        const QString name = QString("self-%1").arg(i);
        SetDword(key, reinterpret_cast<const WCHAR*>(name.utf16()), static_cast<DWORD>(i));
    }
    ASSERT_TRUE(other.waitForFinished(120000));
    ASSERT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
    for (int i = 0; i < perProcess; ++i)
        for (const char* who : {"self", "other"}) {
            const QString name = QString("%1-%2").arg(who).arg(i);
            EXPECT_EQ(QueryDword(key, reinterpret_cast<const WCHAR*>(name.utf16())), static_cast<DWORD>(i)) << qPrintable(name);
        }
    RegCloseKey(key);
}

} // namespace

namespace {

// Adds the key `path` to the store.
LONG AddKey(RegistryStore& store, const QString& path)
{
    return store.Modify([&](RegistryData& data, bool& changed) {
        data.CreateKey(path, &changed);
        return ERROR_SUCCESS;
    });
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// A failing device, as a full disk or a broken medium gives it: each step
// of the write fails in turn; the old file stays as it was, no new file is
// left behind, and the caller hears of it.
TEST_F(RegistryTest, FailedWriteKeepsTheOldFileAndAnswersTheFailure)
{
    const QString folder = TestEnvironment::MakeFolder("registry-faults");
    const QString path = folder + "/store.reg";
    RegistryStore store(path);
    ASSERT_EQ(AddKey(store, "Old"), ERROR_SUCCESS);
    const QByteArray before = FileBytes(path);
    ASSERT_FALSE(before.isEmpty());

    struct Fault {
        const char* step;
        std::function<void(RegistryStore::FileOps&)> inject;
        LONG expected;
    };
    const Fault faults[] = {
        {"disk full after 10 bytes",
         [](RegistryStore::FileOps& ops) {
             auto written = std::make_shared<size_t>(0);
             ops.write = [written](int fd, const void* data, size_t size) -> ssize_t {
                 if (*written >= 10) return errno = ENOSPC, -1;
                 const ssize_t n = ::write(fd, data, std::min<size_t>(size, 10 - *written));
                 *written += size_t(n);
                 return n;
             };
         },
         ERROR_DISK_FULL},
        {"a write that takes nothing", [](RegistryStore::FileOps& ops) { ops.write = [](int, const void*, size_t) { return ssize_t(0); }; },
         ERROR_WRITE_FAULT},
        {"file sync", [](RegistryStore::FileOps& ops) { ops.syncFile = [](int) { return errno = EIO, -1; }; },
         ERROR_WRITE_FAULT},
        {"rename", [](RegistryStore::FileOps& ops) { ops.rename = [](const char*, const char*) { return errno = EIO, -1; }; },
         ERROR_WRITE_FAULT},
    };
    for (const Fault& fault : faults) {
        RegistryStore::FileOps ops = RegistryStore::FileOps::System();
        fault.inject(ops);
        store.SetFileOps(ops);
        EXPECT_EQ(AddKey(store, "New"), fault.expected) << fault.step;
        EXPECT_EQ(FileBytes(path), before) << fault.step;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({"store.reg", "store.reg.lock"})) << fault.step;
        EXPECT_EQ(store.Snapshot()->FindKey("New"), nullptr) << fault.step;
        RegistryStore reader(path);
        EXPECT_NE(reader.Snapshot()->FindKey("Old"), nullptr) << fault.step;
    }

    // The folder cannot be synced: the new file is in place, but whether
    // it lasts is not known, and the caller hears of that too.
    RegistryStore::FileOps folderFails = RegistryStore::FileOps::System();
    folderFails.syncFolder = [](int) { return errno = EIO, -1; };
    store.SetFileOps(folderFails);
    EXPECT_EQ(AddKey(store, "New"), ERROR_WRITE_FAULT);

    store.SetFileOps(RegistryStore::FileOps::System());
    ASSERT_EQ(AddKey(store, "Newer"), ERROR_SUCCESS);
    RegistryStore reader(path);
    EXPECT_NE(reader.Snapshot()->FindKey("Old"), nullptr);
    EXPECT_NE(reader.Snapshot()->FindKey("Newer"), nullptr);
}
