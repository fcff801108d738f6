// The engine as the program loads it: drives, image drives and their
// settings, object creation and unloading.
#include "DiscImages.h"
#include "Registry.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
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
    EXPECT_EQ(device->QueryInterface(IID_ITrellisImageDrive, image.Out()), S_OK);
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
    ASSERT_EQ(first.ImageDrive()->QueryInterface(IID_ITrellisImageDrive, drive.Out()), S_OK);
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
        ASSERT_EQ(session.Engine()->GetDrive(i, &device.p), S_OK);
        ComPtr<ITrellisImageDrive> image;
        char letter = 0;
        device->GetLetter(&letter);
        if (SUCCEEDED(device->QueryInterface(IID_ITrellisImageDrive, image.Out()))) imageLetters.push_back(letter);
    }
    ASSERT_EQ(imageLetters.size(), 3u);
    EXPECT_EQ(imageLetters.substr(0, 2), "XY");
    EXPECT_NE(imageLetters[2], 'X');
    EXPECT_NE(imageLetters[2], 'Y');
    ComPtr<ITrellisDevice> none;
    EXPECT_EQ(session.Engine()->GetDrive(drives, &none.p), E_INVALIDARG);
    EXPECT_EQ(none.p, nullptr);
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
    EXPECT_EQ(session.Insert(folder + "/bad.cue"), TRELLIS_E_BAD_FORMAT);
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
