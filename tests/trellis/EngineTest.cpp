// The engine as the program loads it: drives, image drives and their
// settings, object creation and unloading.
#include "DiscImages.h"
#include "Registry.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <gtest/gtest.h>

namespace {

QString MakeSmallIso(const QString& name)
{
    const QString folder = TestEnvironment::MakeFolder(name);
    QDir().mkpath(folder + "/src");
    DiscImages::WriteFile(folder + "/src/file.txt", 10, 1600000000);
    const QString image = folder + "/disc.iso";
    DiscImages::RunTool("xorriso", {"-as", "mkisofs", "-R", "-J", "-V", "SMALL", "-o", image, folder + "/src"});
    return image;
}

LONG Presence(ITrellisDevice* device)
{
    LONG present = -1, busy = -1;
    EXPECT_EQ(device->GetDiscPresence(&present, &busy), S_OK);
    EXPECT_EQ(busy, 0);
    return present;
}

QString ImagePath(ITrellisDevice* device)
{
    ComPtr<ITrellisImageDrive> image;
    EXPECT_EQ(device->QueryInterface(IID_ITrellisImageDrive, image.PutVoid()), S_OK);
    char16_t buffer[1024] = {};
    DWORD needed = 0;
    image->GetImagePath(buffer, 1024, &needed);
    return QString::fromUtf16(buffer);
}

void SetMachineValue(const char16_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Quorvel\\Flintwell13\\Trellis", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

} // namespace

TEST(TrellisEngine, EmptyImageDriveDescribesItselfAndHasNoDisc)
{
    TestEnvironment::ResetRegistry();
    TrellisSession session;
    ASSERT_TRUE(session.ImageDrive());
    char letter = 0;
    EXPECT_EQ(session.ImageDrive()->GetLetter(&letter), S_OK);
    EXPECT_GE(letter, 'D');
    EXPECT_LE(letter, 'Z');
    TrellisInquiry inquiry;
    ASSERT_EQ(session.ImageDrive()->GetInquiry(&inquiry), S_OK);
    const char* bytes = reinterpret_cast<const char*>(&inquiry);
    EXPECT_STREQ(bytes + 0, "Virtual");
    EXPECT_STREQ(bytes + 9, "Image Drive");
    EXPECT_STREQ(bytes + 26, "1.0");
    EXPECT_EQ(Presence(session.ImageDrive()), 0);
    EXPECT_EQ(session.ImageDrive()->EjectMedia(1), S_OK);
    EXPECT_EQ(session.ImageDrive()->LockMedia(1), S_OK);
    EXPECT_EQ(session.ImageDrive()->LockMedia(0), S_OK);
    EXPECT_EQ(ImagePath(session.ImageDrive()), QString());

    DiscProperties properties;
    EXPECT_EQ(session.ReadProperties(properties), TRELLIS_E_NO_DISC);
    std::map<QString, CatalogEntry> catalog;
    EXPECT_EQ(session.ReadCatalog(catalog), TRELLIS_E_NO_DISC);
}

TEST(TrellisEngine, InsertedImageIsSeenByAnotherEngineUntilEjected)
{
    TestEnvironment::ResetRegistry();
    const QString image = MakeSmallIso("persist");
    TrellisSession first;
    ASSERT_EQ(first.Insert(image), S_OK);
    EXPECT_EQ(Presence(first.ImageDrive()), 1);

    TrellisSession second; // another engine, as another process would have
    EXPECT_EQ(Presence(second.ImageDrive()), 1);
    EXPECT_EQ(ImagePath(second.ImageDrive()), image);
    std::map<QString, CatalogEntry> catalog;
    ASSERT_EQ(second.ReadCatalog(catalog), S_OK);
    EXPECT_EQ(catalog.size(), 1u);

    ComPtr<ITrellisImageDrive> drive;
    ASSERT_EQ(first.ImageDrive()->QueryInterface(IID_ITrellisImageDrive, drive.PutVoid()), S_OK);
    EXPECT_EQ(drive->EjectImage(), S_OK);
    EXPECT_EQ(drive->EjectImage(), S_FALSE);
    EXPECT_EQ(Presence(second.ImageDrive()), 0);

    // An image that is deleted while in the drive leaves the drive empty.
    ASSERT_EQ(first.Insert(image), S_OK);
    QFile::remove(image);
    EXPECT_EQ(Presence(second.ImageDrive()), 0);
    DiscProperties properties;
    EXPECT_EQ(second.ReadProperties(properties), TRELLIS_E_NO_DISC);
}

TEST(TrellisEngine, ImageDriveCountAndLettersComeFromTheSettings)
{
    TestEnvironment::ResetRegistry();
    const DWORD count = 3;
    SetMachineValue(u"ImageDriveCount", REG_DWORD, &count, sizeof count);
    const char16_t letters[] = u"xY";
    SetMachineValue(u"ImageDriveLetters", REG_SZ, letters, sizeof letters);
    TrellisSession session;
    LONG drives = 0;
    ASSERT_EQ(session.Engine()->GetDriveCount(&drives), S_OK);
    std::string imageLetters;
    for (LONG i = 0; i < drives; ++i) {
        ComPtr<ITrellisDevice> device;
        ASSERT_EQ(session.Engine()->GetDrive(i, device.Put()), S_OK);
        ComPtr<ITrellisImageDrive> image;
        char letter = 0;
        device->GetLetter(&letter);
        if (SUCCEEDED(device->QueryInterface(IID_ITrellisImageDrive, image.PutVoid()))) imageLetters.push_back(letter);
    }
    ASSERT_EQ(imageLetters.size(), 3u);
    EXPECT_EQ(imageLetters.substr(0, 2), "XY");
    EXPECT_NE(imageLetters[2], 'X');
    EXPECT_NE(imageLetters[2], 'Y');
    ComPtr<ITrellisDevice> none;
    EXPECT_EQ(session.Engine()->GetDrive(drives, none.Put()), E_INVALIDARG);
    EXPECT_EQ(none.Get(), nullptr);
}

TEST(TrellisEngine, WhatIsNotADiscImageIsRefusedAndTheDriveKeepsItsImage)
{
    TestEnvironment::ResetRegistry();
    const QString image = MakeSmallIso("refuse");
    const QString folder = TestEnvironment::MakeFolder("junk");
    QFile junk(folder + "/junk.iso");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(300000, 'j'));
    junk.close();
    QFile badCue(folder + "/bad.cue");
    ASSERT_TRUE(badCue.open(QIODevice::WriteOnly));
    badCue.write("FILE \"missing.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    badCue.close();

    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    EXPECT_EQ(session.Insert(folder + "/junk.iso"), TRELLIS_E_BAD_FORMAT);
    EXPECT_EQ(session.Insert(folder + "/bad.cue"), HresultFromErrno(ENOENT)); // its data file is missing
    EXPECT_TRUE(FAILED(session.Insert(folder + "/does-not-exist.iso")));
    EXPECT_TRUE(FAILED(session.Insert(folder))); // a folder
    EXPECT_EQ(ImagePath(session.ImageDrive()), image);
}

TEST(TrellisEngine, ObjectsAreMadeByClassAndKeepTheLibraryLoaded)
{
    TestEnvironment::ResetRegistry();
    ComponentModule module;
    ASSERT_EQ(module.Load(TestEnvironment::ProgramFolder() + "/libTrellis.so"), S_OK);
    void* wrong = nullptr;
    EXPECT_EQ(module.CreateInstance(CLSID_TrellisDiscInfo, IID_ITrellisEngine, &wrong), CLASS_E_CLASSNOTAVAILABLE);
    ITrellisEngine* engine = nullptr;
    ASSERT_EQ(module.CreateInstance(CLSID_TrellisEngine, IID_ITrellisEngineFactory, reinterpret_cast<void**>(&engine)),
              S_OK);
    IUnknown* object = nullptr;
    EXPECT_EQ(engine->CreateObject(IID_ITrellisReader, &object), CLASS_E_CLASSNOTAVAILABLE);
    for (const CLSID& readerClass : {CLSID_TrellisCdReader, CLSID_TrellisOtherReader}) {
        ASSERT_EQ(engine->CreateObject(readerClass, &object), S_OK);
        ITrellisReader* reader = nullptr;
        EXPECT_EQ(object->QueryInterface(IID_ITrellisReader, reinterpret_cast<void**>(&reader)), S_OK);
        EXPECT_EQ(reader->StartParse(6, 0, 0), E_UNEXPECTED); // not opened
        EXPECT_EQ(reader->WaitParse(0, nullptr, nullptr), E_UNEXPECTED);
        TrellisFindEntry entry;
        EXPECT_EQ(reader->FindFirst(u"", &entry), E_UNEXPECTED);
        reader->Release();
        object->Release();
    }
    ASSERT_EQ(engine->CreateObject(CLSID_TrellisDiscInfo, &object), S_OK);
    ITrellisDiscProperties* properties = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_ITrellisDiscProperties, reinterpret_cast<void**>(&properties)), S_OK);
    DWORD type = 0;
    EXPECT_EQ(properties->GetFileSystemType(&type), E_UNEXPECTED); // not opened
    properties->Release();
    EXPECT_FALSE(module.Unload());
    object->Release();
    EXPECT_FALSE(module.Unload());
    engine->Release();
    EXPECT_TRUE(module.Unload());
}

TEST(TrellisEngine, PhysicalDrivesKeepTheirNumbersLettersAndFailClearly)
{
    TestEnvironment::ResetRegistry();
    // Files stand in for /dev/sr0 and /dev/sr2: no drive answers their
    // requests, and none of them may hang.
    const QString folder = TestEnvironment::MakeFolder("dev");
    QFile(folder + "/sr0").open(QIODevice::WriteOnly);
    ASSERT_EQ(mkfifo(QFile::encodeName(folder + "/sr2").constData(), 0600), 0);
    QFile(folder + "/srx").open(QIODevice::WriteOnly);
    QFile(folder + "/sda").open(QIODevice::WriteOnly);
    qputenv("ALBIREO_TRELLIS_DEVICE_DIR", QFile::encodeName(folder));
    TrellisSession session;
    qunsetenv("ALBIREO_TRELLIS_DEVICE_DIR");

    LONG count = 0;
    ASSERT_EQ(session.Engine()->GetDriveCount(&count), S_OK);
    ASSERT_EQ(count, 3);
    std::string letters;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<ITrellisDevice> device;
        ASSERT_EQ(session.Engine()->GetDrive(i, device.Put()), S_OK);
        char letter = 0;
        device->GetLetter(&letter);
        letters.push_back(letter);
        ComPtr<ITrellisImageDrive> image;
        if (i == 2) {
            EXPECT_EQ(device->QueryInterface(IID_ITrellisImageDrive, image.PutVoid()), S_OK);
            continue;
        }
        EXPECT_EQ(device->QueryInterface(IID_ITrellisImageDrive, image.PutVoid()), E_NOINTERFACE);
        TrellisInquiry inquiry;
        EXPECT_EQ(device->GetInquiry(&inquiry), S_OK);
        LONG present = 0, busy = 0;
        EXPECT_TRUE(FAILED(device->GetDiscPresence(&present, &busy)));
        EXPECT_TRUE(FAILED(device->LockMedia(1)));
        EXPECT_TRUE(FAILED(device->EjectMedia(1)));
        ComPtr<IUnknown> object;
        ASSERT_EQ(session.Engine()->CreateObject(CLSID_TrellisDiscInfo, object.Put()), S_OK);
        ComPtr<ITrellisDiscInfo> info;
        ASSERT_EQ(object->QueryInterface(IID_ITrellisDiscInfo, info.PutVoid()), S_OK);
        ASSERT_EQ(info->Attach(device.Get()), S_OK);
        EXPECT_TRUE(FAILED(info->Open()));
        info->Detach();
    }
    EXPECT_EQ(letters, "DFG"); // sr0 is D, sr2 is F, the image drive follows
}

TEST(TrellisEngine, DriveThatMayNotBeOpenedGivesAccessDenied)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("denied");
    QFile(folder + "/sr0").open(QIODevice::WriteOnly);
    ASSERT_EQ(chmod(QFile::encodeName(folder + "/sr0").constData(), 0), 0);
    qputenv("ALBIREO_TRELLIS_DEVICE_DIR", QFile::encodeName(folder));
    TrellisSession session;
    qunsetenv("ALBIREO_TRELLIS_DEVICE_DIR");
    ComPtr<ITrellisDevice> device;
    ASSERT_EQ(session.Engine()->GetDrive(0, device.Put()), S_OK);

    // A child without the right to override file permissions (as a user
    // who is not in the drive's group) asks for the disc.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        syscall(SYS_capget, &header, data);
        data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &header, data);
        LONG present = 0, busy = 0;
        _exit(device->GetDiscPresence(&present, &busy) == E_ACCESSDENIED ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
