// CDiscAccess with the real disc engine and library engine, loaded from the
// program folder as the program loads them: the drive list and its hidden
// virtual drives, disc properties, and the scan's callbacks and progress.
#include "CDiscAccess.h"
#include "CDllCom.h"
#include "Registry.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QRegularExpression>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

const WCHAR* Utf16(const QString& text) { return reinterpret_cast<const WCHAR*>(text.utf16()); }

void SetMachineValue(const QString& keyPath, const QString& name, DWORD type, const QByteArray& data)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, Utf16(keyPath), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, Utf16(name), 0, type, reinterpret_cast<const BYTE*>(data.constData()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

void SetImageDriveCount(DWORD count)
{
    SetMachineValue("Software\\Quorvel\\Flintwell13\\Trellis", "ImageDriveCount", REG_DWORD,
                    QByteArray(reinterpret_cast<const char*>(&count), 4));
}

// Marks the drive with that letter as one of the suite's virtual drives.
void MarkVirtual(char letter, const QString& serviceKey, const QString& valueName)
{
    const QString path = serviceKey + QString("\\Drive%1:").arg(letter);
    SetMachineValue(path, valueName, REG_SZ, QByteArray("x\0", 2));
}

QString MakeIso(const QString& name, const QString& volumeId, int files)
{
    const QString folder = TestEnvironment::MakeFolder(name);
    QDir().mkpath(folder + "/tree/sub");
    for (int i = 0; i < files; ++i) {
        QFile file(folder + QString("/tree/%1file%2.txt").arg(i % 2 ? "sub/" : "").arg(i));
        file.open(QIODevice::WriteOnly);
        file.write("data");
    }
    const QString image = folder + "/disc.iso";
    EXPECT_EQ(QProcess::execute("xorriso", {"-as", "mkisofs", "-quiet", "-R", "-J", "-V", volumeId, "-o", image,
                                            folder + "/tree"}),
              0);
    return image;
}

HRESULT Insert(CDiscAccess& access, int engineIndex, const QString& image)
{
    ITrellisDevice* device = nullptr;
    HRESULT hr = access.Engine()->GetDrive(engineIndex, &device);
    if (FAILED(hr)) return hr;
    ITrellisImageDrive* drive = nullptr;
    hr = device->QueryInterface(IID_ITrellisImageDrive, reinterpret_cast<void**>(&drive));
    device->Release();
    if (FAILED(hr)) return hr;
    hr = drive->InsertImage(Utf16(image));
    drive->Release();
    return hr;
}

class DiscAccessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestEnvironment::ResetRegistry();
        qputenv("ALBIREO_LIBRARY_DB", (TestEnvironment::MakeFolder("library") + "/library.db").toLocal8Bit());
        CDiscIdentity::SetTraceStream(nullptr);
    }
};

TEST_F(DiscAccessTest, VirtualDrivesAreHiddenUnlessTheSettingShowsThem)
{
    SetImageDriveCount(4); // D E F G without physical drives
    MarkVirtual('D', "SYSTEM\\CurrentControlSet\\services\\QvOvaldrum", "ImagePath:");
    MarkVirtual('F', "SYSTEM\\CurrentControlSet\\services\\QvVirtualBus01", "ImagePath");
    MarkVirtual('G', "SYSTEM\\CurrentControlSet\\services\\QvOvaldrum1.1", "Wrong value name");
    {
        CDiscAccess access;
        ASSERT_EQ(access.InitResult(), S_OK);
        QStringList names;
        ASSERT_EQ(access.GetDriveNames(names), 2);
        EXPECT_EQ(access.GetDriveCount(), 2);
        EXPECT_TRUE(names[0].startsWith("E:\\")) << qPrintable(names[0]);
        EXPECT_TRUE(names[1].startsWith("G:\\")) << qPrintable(names[1]);
        EXPECT_FALSE(names[0].endsWith(' '));
        ASSERT_EQ(access.SelectDrive(1), S_OK);
        char letter = 0;
        ASSERT_EQ(access.GetDriveLetter(&letter), S_OK);
        EXPECT_EQ(letter, 'G');
        EXPECT_EQ(access.EngineIndexAt(1), 3);
    }
    SetMachineValue("Software\\Quorvel\\Flintwell13", "ShowQvOvaldrumOnDriveList", REG_DWORD, QByteArray("\1\0\0\0", 4));
    CDiscAccess access;
    EXPECT_EQ(access.GetDriveCount(), 4);
    ASSERT_EQ(access.SelectDrive(1), S_OK);
    char letter = 0;
    access.GetDriveLetter(&letter);
    EXPECT_EQ(letter, 'E');
}

TEST_F(DiscAccessTest, EmptyDrivesAndMissingArgumentsFail)
{
    CDiscAccess access;
    ASSERT_EQ(access.InitResult(), S_OK);
    EXPECT_EQ(access.CheckDiscReady(), E_FAIL);
    EXPECT_EQ(access.CheckDriveReady(access.EngineIndexAt(0)), E_FAIL);
    EXPECT_EQ(access.CheckDriveReady(99), E_POINTER);
    EXPECT_EQ(access.GetDriveLetter(nullptr), E_POINTER);
    EXPECT_EQ(access.SetLibrary(nullptr), E_POINTER);
    EXPECT_EQ(access.GetProperty(5000, nullptr), E_POINTER);
    char identity[33];
    WCHAR text[260];
    int number = 0;
    INT64 size = 0;
    EXPECT_EQ(access.ReadDiscProperties(identity, text, nullptr, &number, &number, &number, &number, &size, &size, text),
              E_POINTER);
    EXPECT_TRUE(FAILED(access.ReadDiscProperties(identity, text, text, &number, &number, &number, &number, &size, &size,
                                                 text))); // no disc
}

TEST_F(DiscAccessTest, ReadsPropertiesOfADataDisc)
{
    CDiscAccess access;
    ASSERT_EQ(Insert(access, access.EngineIndexAt(0), MakeIso("props", "MY  DISC ", 6)), S_OK);
    ASSERT_EQ(access.CheckDiscReady(), S_OK);
    char identity[33] = {};
    WCHAR label[260] = {}, spare[260] = {u'k', 0}, date[260] = {};
    int audio = 7, discClass = 0, folders = 0, files = 0;
    INT64 used = 0, capacity = 0;
    ASSERT_EQ(access.ReadDiscProperties(identity, label, spare, &audio, &discClass, &folders, &files, &used, &capacity,
                                        date),
              S_OK);
    EXPECT_EQ(QString::fromUtf16(label), "MY DISC"); // blank runs collapsed, one trailing blank gone
    EXPECT_EQ(QString::fromUtf16(spare), "k");        // left untouched
    EXPECT_EQ(audio, 0);
    EXPECT_EQ(discClass, 1);
    EXPECT_EQ(folders, 1);
    EXPECT_EQ(files, 6);
    EXPECT_EQ(access.ItemTotal(), 7);
    EXPECT_GT(used, 0);
    EXPECT_GE(capacity, used);
    EXPECT_EQ(used % 2048, 0);
    EXPECT_TRUE(QString::fromUtf16(date).contains(QRegularExpression("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d$")));
    char again[33] = {};
    ASSERT_EQ(access.GetDriveIdentity(again, access.EngineIndexAt(0)), S_OK);
    EXPECT_STREQ(again, identity);
    EXPECT_EQ(std::strlen(identity), 32u);
}

struct CallbackLog {
    std::mutex mutex;
    std::vector<std::pair<int, int>> events; // code, success flag for ScanFinished
};
CallbackLog g_log;

void Record(int code, intptr_t parameter, int context)
{
    std::lock_guard<std::mutex> lock(g_log.mutex);
    g_log.events.push_back({code, code == ScanFinished ? *reinterpret_cast<int*>(parameter) : context});
}

// Starts the scan of the disc in the first drive into a fresh disc record;
// returns the disc id.
int BeginScan(CDiscAccess& access, ILibraryEngine* library, bool cancel)
{
    char identity[33] = {};
    WCHAR label[260] = {}, spare[260] = {}, date[260] = {};
    int audio = 0, discClass = 0, folders = 0, files = 0;
    INT64 used = 0, capacity = 0;
    EXPECT_EQ(access.ReadDiscProperties(identity, label, spare, &audio, &discClass, &folders, &files, &used, &capacity,
                                        date),
              S_OK);
    EXPECT_EQ(library->AddDisc(identity, u"", u"", u"", label, u"", audio, discClass, folders, files, used, capacity, date),
              S_OK);
    LONG discId = 0, labelId = 0;
    library->GetLastAddedDisc(&discId, &labelId);
    g_log.events.clear();
    access.SetLibrary(library);
    access.SetDiscIds(discId, labelId);
    access.SetCallback(Record, 77);
    access.SetCancel(cancel ? 1 : 0);
    EXPECT_EQ(access.StartScan(audio == -1 ? 1 : 0), 1);
    return discId;
}

// Scans the disc in the first drive into a fresh disc record; returns the disc id.
int Scan(CDiscAccess& access, ILibraryEngine* library, bool cancel, std::vector<int>* progress)
{
    const int discId = BeginScan(access, library, cancel);
    while (!access.WaitForScan(5)) {
        int value = 0;
        access.GetProperty(CDiscAccess::kProgressProperty, &value);
        progress->push_back(value);
    }
    int value = 0;
    access.GetProperty(CDiscAccess::kProgressProperty, &value);
    progress->push_back(value);
    access.SetCancel(0);
    return discId;
}

TEST_F(DiscAccessTest, ScanReportsOnceAndProgressRisesToTheEnd)
{
    CDllCom module;
    ILibraryEngine* library = nullptr;
    ASSERT_EQ(module.CreateLibraryEngine(&library), S_OK);
    ASSERT_EQ(library->Initialize(0, 1, 0), S_OK);
    {
        CDiscAccess access;
        ASSERT_EQ(Insert(access, access.EngineIndexAt(0), MakeIso("scan", "SCAN", 2000)), S_OK);
        std::vector<int> progress;
        const int discId = Scan(access, library, false, &progress);
        EXPECT_EQ(g_log.events, (std::vector<std::pair<int, int>>{{ScanFinished, 1}}));
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        EXPECT_EQ(progress.back(), 100);
        LONG count = 0;
        ASSERT_EQ(library->GetFolderItemCount(discId, 0, &count), S_OK);
        EXPECT_EQ(count, 1001); // "sub" and 1000 files in the root

        // Cancelled before it starts walking: the disc and its rows are gone.
        library->DeleteDisc(discId, 0);
        std::vector<int> cancelled;
        Scan(access, library, true, &cancelled);
        // A parse still running when the cancel is seen is aborted first.
        if (!g_log.events.empty() && g_log.events.front().first == ScanAborting) g_log.events.erase(g_log.events.begin());
        EXPECT_EQ(g_log.events, (std::vector<std::pair<int, int>>{{ScanCancelled, 77}, {ScanFinished, 0}}));
        LONG discs = -1;
        library->GetDiscCount(&discs);
        EXPECT_EQ(discs, 0);
        library->SearchFileCount(u"file", &count);
        EXPECT_EQ(count, 0);
    }
    library->Uninitialize();
    library->Release();
}

TEST_F(DiscAccessTest, LeavingDuringAScanCancelsItBeforeWaiting)
{
    CDllCom module;
    ComPtr<ILibraryEngine> library;
    ASSERT_EQ(module.CreateLibraryEngine(library.Put()), S_OK);
    ASSERT_EQ(library->Initialize(0, 1, 0), S_OK);
    {
        CDiscAccess access;
        ASSERT_EQ(Insert(access, access.EngineIndexAt(0), MakeIso("leave", "LEAVE", 500)), S_OK);
        BeginScan(access, library.Get(), false);
    } // the program ends while the scan runs
    std::lock_guard<std::mutex> lock(g_log.mutex);
    ASSERT_FALSE(g_log.events.empty());
    EXPECT_EQ(g_log.events.back(), std::make_pair(int(ScanFinished), 0));
    EXPECT_NE(std::find(g_log.events.begin(), g_log.events.end(), std::make_pair(int(ScanCancelled), 77)),
              g_log.events.end());
    LONG discs = -1;
    library->GetDiscCount(&discs);
    EXPECT_EQ(discs, 0) << "nothing of the disc is kept";
    library->Uninitialize();
}

} // namespace
