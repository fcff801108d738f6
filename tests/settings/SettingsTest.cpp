// The settings value classes: defaults, the per-user to machine fallback,
// stored sizes, auto-sync across processes and the array classes.
#include "ArrayReg.h"
#include "ArrayStringReg.h"
#include "BaseReg.h"
#include "BoolReg.h"
#include "DoubleReg.h"
#include "DwordReg.h"
#include "DwordReg2.h"
#include "IntReg.h"
#include "LongLongReg.h"
#include "StringReg.h"
#include "TestEnvironment.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

const WCHAR* kKey = u"Software\\Quorvel\\Flintwell13";

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { TestEnvironment::ResetRegistry(); }

    // Type and size of a stored value, read with the raw API.
    std::pair<DWORD, DWORD> Stored(HKEY root, const WCHAR* keyPath, const WCHAR* name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return {0, 0};
        DWORD type = 0, size = 0;
        const LONG status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? std::pair{type, size} : std::pair<DWORD, DWORD>{0, 0};
    }
};

TEST_F(SettingsTest, UnreadValuesHoldTheClassDefaults)
{
    DwordReg dword(HKEY_CURRENT_USER, kKey, u"Missing");
    DwordReg2 dword2(HKEY_CURRENT_USER, kKey, u"Missing");
    EXPECT_FALSE(dword.Read());
    EXPECT_FALSE(dword2.Read());
    EXPECT_EQ(dword.Get(), 0u);
    EXPECT_EQ(dword2.Get(), 0xFFFFFFFFu);
    EXPECT_EQ(DwordReg2().Get(), 0xFFFFFFFFu);
    EXPECT_EQ(DoubleReg().Get(), 0.0);
    StringReg text(HKEY_CURRENT_USER, kKey, u"Missing");
    EXPECT_FALSE(text.Read());
    EXPECT_TRUE(text.IsEmpty());
}

TEST_F(SettingsTest, PerUserValueFallsBackToMachineValueAndWritingCreatesIt)
{
    StringReg machine(HKEY_LOCAL_MACHINE, kKey, u"CurrentLang");
    machine = u"Deu";
    ASSERT_TRUE(machine.Write());
    StringReg user(HKEY_CURRENT_USER, kKey, u"CurrentLang");
    ASSERT_TRUE(user.Read());
    EXPECT_TRUE(user == u"Deu");
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kKey, u"CurrentLang").first, 0u); // not created by reading

    user = u"ENU";
    ASSERT_TRUE(user.Write());
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kKey, u"CurrentLang"), (std::pair<DWORD, DWORD>{REG_SZ, 6}));
    StringReg again(HKEY_CURRENT_USER, kKey, u"CurrentLang");
    ASSERT_TRUE(again.Read());
    EXPECT_TRUE(again == u"ENU");
    EXPECT_FALSE(again == u"enu");
    EXPECT_FALSE(again == static_cast<const WCHAR*>(nullptr));
    EXPECT_EQ(again.GetLength(), 3);
    ASSERT_TRUE(again.Delete());
    EXPECT_TRUE(again.Read()); // the machine value shows through again
    EXPECT_TRUE(again == u"Deu");
}

TEST_F(SettingsTest, ScalarClassesStoreTheirTypesAndSizesAndRoundTrip)
{
    IntReg(HKEY_CURRENT_USER, kKey, u"Int", TRUE) = -5;
    DwordReg(HKEY_CURRENT_USER, kKey, u"Dword", TRUE) = 0x80000000u;
    LongLongReg(HKEY_CURRENT_USER, kKey, u"Long", TRUE) = -(1LL << 40);
    DoubleReg(HKEY_CURRENT_USER, kKey, u"Double", TRUE) = 2.5;
    BoolReg(HKEY_CURRENT_USER, kKey, u"Bool", TRUE) = 1;
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kKey, u"Int"), (std::pair<DWORD, DWORD>{REG_BINARY, 4}));
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kKey, u"Dword"), (std::pair<DWORD, DWORD>{REG_DWORD, 4}));
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kKey, u"Long"), (std::pair<DWORD, DWORD>{REG_BINARY, 8}));
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kKey, u"Double"), (std::pair<DWORD, DWORD>{REG_BINARY, 8}));
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kKey, u"Bool"), (std::pair<DWORD, DWORD>{REG_BINARY, 4}));

    IntReg i(HKEY_CURRENT_USER, kKey, u"Int");
    LongLongReg l(HKEY_CURRENT_USER, kKey, u"Long");
    DoubleReg d(HKEY_CURRENT_USER, kKey, u"Double");
    ASSERT_TRUE(i.Read() && l.Read() && d.Read());
    EXPECT_EQ(i.Get(), -5);
    EXPECT_EQ(l.Get(), -(1LL << 40));
    EXPECT_EQ(d.Get(), 2.5);

    // Data larger than the class's size does not read and changes nothing.
    IntReg tooSmall(HKEY_CURRENT_USER, kKey, u"Long");
    tooSmall = 9;
    EXPECT_FALSE(tooSmall.Read());
    EXPECT_EQ(tooSmall.Get(), 9);
}

TEST_F(SettingsTest, AutoSyncBoolSeesAnotherProcesssChange)
{
    BoolReg flag(HKEY_CURRENT_USER, u"Software\\Quorvel\\Flintwell13", u"Flag", TRUE);
    flag = 0;
    EXPECT_EQ(flag.Get(), 0);
    ASSERT_EQ(QProcess::execute(TestEnvironment::TestBinary("registry_hammer"),
                                {"--binary", "Software\\Quorvel\\Flintwell13", "Flag", "1"}),
              0);
    EXPECT_EQ(flag.Get(), 1);
    BoolReg noSync(HKEY_CURRENT_USER, kKey, u"Flag");
    EXPECT_EQ(noSync.Get(), 0); // without auto-sync only Read() looks
}

TEST_F(SettingsTest, ArrayRegChecksRecordSizesAndSavesEmptyKey)
{
    ArrayReg array(HKEY_CURRENT_USER, u"Software\\Quorvel\\Flintwell13\\Records", 4);
    const BYTE a[4] = {1, 2, 3, 4}, b[4] = {5, 6, 7, 8}, wrong[5] = {};
    EXPECT_EQ(array.Add(wrong, 5), -1);
    EXPECT_EQ(array.Add(a, 4), 0);
    EXPECT_EQ(array.Add(b, 4), 1);
    array.InsertAt(0, b, 4);
    array.InsertAt(0, wrong, 5);
    EXPECT_FALSE(array.SetAt(2, wrong, 5));
    EXPECT_FALSE(array.SetAt(3, a, 4));
    EXPECT_EQ(array.GetCount(), 3);
    ASSERT_TRUE(array.Save());

    ArrayReg loaded(HKEY_CURRENT_USER, u"Software\\Quorvel\\Flintwell13\\Records", 4);
    ASSERT_TRUE(loaded.Load());
    ASSERT_EQ(loaded.GetCount(), 3);
    EXPECT_EQ(loaded.GetAt(0)[0], 5);
    EXPECT_EQ(loaded.GetAt(1)[0], 1);
    EXPECT_EQ(loaded.GetAt(3), nullptr);

    loaded.Clear();
    ASSERT_TRUE(loaded.Save());
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Quorvel\\Flintwell13\\Records", 0, KEY_READ, &key),
              ERROR_SUCCESS); // the key still exists, empty
    RegCloseKey(key);
    ASSERT_TRUE(array.Load());
    EXPECT_EQ(array.GetCount(), 0);
    ArrayReg missing(HKEY_CURRENT_USER, u"No\\Such\\Key", 4);
    EXPECT_FALSE(missing.Load());
}

TEST_F(SettingsTest, ArrayStringRegWritesFullSlots)
{
    ArrayStringReg list(HKEY_CURRENT_USER, u"Software\\Quorvel\\Flintwell13\\Recent", 16);
    EXPECT_EQ(list.Add(nullptr), -1);
    EXPECT_EQ(list.Add(u"first"), 0);
    EXPECT_EQ(list.Add(u"second"), 1);
    list.InsertAt(0, u"zero", 15);
    EXPECT_EQ(list.GetCount(), 2);
    list.InsertAt(0, u"zero", 16);
    EXPECT_TRUE(list.SetAt(2, u"2nd", 16));
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, u"Software\\Quorvel\\Flintwell13\\Recent", u"1"),
              (std::pair<DWORD, DWORD>{REG_SZ, 16}));

    ArrayStringReg loaded(HKEY_CURRENT_USER, u"Software\\Quorvel\\Flintwell13\\Recent", 16);
    ASSERT_TRUE(loaded.Load());
    EXPECT_EQ(loaded.GetCount(), 3);
    EXPECT_EQ(loaded.GetAt(0), "zero");
    EXPECT_EQ(loaded.GetAt(2), "2nd");
}

TEST_F(SettingsTest, BaseRegReadsRawDataWithMachineFallback)
{
    const BYTE raw[3] = {9, 8, 7};
    BaseReg machine(HKEY_LOCAL_MACHINE, kKey, u"Raw");
    ASSERT_TRUE(machine.Write(REG_BINARY, 3, raw));
    BaseReg user(HKEY_CURRENT_USER, kKey, u"Raw");
    BYTE buffer[8] = {};
    DWORD type = 0, size = sizeof buffer;
    ASSERT_TRUE(user.Read(&type, &size, buffer));
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(buffer[2], 7);
    EXPECT_FALSE(user.DeleteValue());
    EXPECT_TRUE(machine.DeleteValue());
    size = sizeof buffer;
    EXPECT_FALSE(user.Read(&type, &size, buffer));
}

} // namespace
