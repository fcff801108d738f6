// Names and labels that are not well-formed text: each bad unit becomes
// U+FFFD, legacy Rock Ridge names read as Latin-1, cuts fall between whole
// characters, and every other name of the disc stays exact.
#include "DiscImages.h"
#include "TestEnvironment.h"
#include "TextDecode.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <gtest/gtest.h>

using namespace DiscImages;

namespace {

std::u16string Decode16(std::initializer_list<char16_t> units)
{
    std::string bytes;
    for (char16_t unit : units) {
        bytes.push_back(char(unit >> 8));
        bytes.push_back(char(unit & 0xFF));
    }
    return TextDecode::FromUtf16Be(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// Replaces the first occurrence of `from` in the file with `to` (same length).
bool Patch(const QString& path, const QByteArray& from, const QByteArray& to)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) return false;
    QByteArray data = file.readAll();
    const qsizetype at = data.indexOf(from);
    if (at < 0) return false;
    data.replace(at, to.size(), to);
    file.seek(0);
    return file.write(data) == data.size();
}

QByteArray Utf16Be(const QString& text)
{
    QByteArray bytes;
    for (QChar c : text) bytes.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    return bytes;
}

} // namespace

TEST(TrellisBadNames, UnpairedSurrogatesBecomeReplacementCharacters)
{
    EXPECT_EQ(Decode16({u'a', 0xD83D, u'b'}), u"a\uFFFDb");        // high without its low half
    EXPECT_EQ(Decode16({u'a', 0xDE00}), u"a\uFFFD");                // low without its high half
    EXPECT_EQ(Decode16({0xD83D, 0xD83D, 0xDE00}), u"\uFFFD\U0001F600"); // the second high has its pair
    EXPECT_EQ(Decode16({0xD83D, 0xDE00, 0xD83D}), u"\U0001F600\uFFFD"); // a pair cut at the field's end
}

TEST(TrellisBadNames, CutsFallBetweenWholeCharacters)
{
    std::u16string text = u"abc\U0001F600";
    TextDecode::CutAtCharacter(text, 4);
    EXPECT_EQ(text, u"abc");
    text = u"abc\U0001F600";
    TextDecode::CutAtCharacter(text, 5);
    EXPECT_EQ(text, u"abc\U0001F600");
    // A long Joliet name of pairs is cut to 255 units at a whole character.
    std::string bytes;
    for (int i = 0; i < 200; ++i) bytes.append("\xD8\x3D\xDE\x00", 4);
    const std::u16string name = TextDecode::FromUtf16Be(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    EXPECT_EQ(name.size(), 254u);
    EXPECT_EQ(name.find(u'\uFFFD'), std::u16string::npos);
}

TEST(TrellisBadNames, RockRidgeNamesThatAreNotUtf8ReadAsLatin1)
{
    const uint8_t latin1[] = {'c', 'a', 'f', 0xE9};
    EXPECT_EQ(TextDecode::FromUtf8OrLatin1(latin1, 4), u"caf\u00E9");
    const uint8_t utf8[] = {'c', 'a', 'f', 0xC3, 0xA9};
    EXPECT_EQ(TextDecode::FromUtf8OrLatin1(utf8, 5), u"caf\u00E9");
    const uint8_t mixed[] = {'a', 0xC3, 0xA9, 'b', 'c', 0xF0, 0x9F, 0x98, 0x80, 'd'};
    EXPECT_EQ(TextDecode::FromUtf8OrLatin1(mixed, sizeof mixed), u"a\u00E9bc\U0001F600d");
    const std::string ascii(300, 'x'); // past the longest name kept
    EXPECT_EQ(TextDecode::FromUtf8OrLatin1(reinterpret_cast<const uint8_t*>(ascii.data()), ascii.size()),
              std::u16string(TextDecode::kMaxNameUnits, u'x'));
    EXPECT_EQ(TextDecode::FromUtf8OrLatin1(utf8, 0), u"");

    TestEnvironment::ResetRegistry();
    const QString source = TestEnvironment::MakeFolder("latin1names") + "/src";
    QDir().mkpath(source);
    WriteFile(source + "/plain.txt", 5, 1614834367);
    // A name written by a system with a Latin-1 locale: the byte 0xE9 alone.
    const QByteArray raw = QFile::encodeName(source) + "/caf\xE9.txt";
    std::FILE* file = std::fopen(raw.constData(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("data", file);
    std::fclose(file);
    const QString image = QFileInfo(source).path() + "/disc.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-R", "-o", image, source}));
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    std::map<QString, CatalogEntry> catalog;
    ASSERT_EQ(session.ReadCatalog(catalog), S_OK);
    ASSERT_EQ(catalog.size(), 2u);
    EXPECT_EQ(catalog[QString::fromUtf8("caf\u00E9.txt")].size, 4u);
    EXPECT_EQ(catalog["plain.txt"].size, 5u);
}

TEST(TrellisBadNames, JolietDiscWithACutNameKeepsEveryOtherNameExact)
{
    TestEnvironment::ResetRegistry();
    const QString source = TestEnvironment::MakeFolder("cutjoliet") + "/src";
    QDir().mkpath(source + "/Folder");
    WriteFile(source + "/Folder/keepXname.txt", 7, 1614834367);
    WriteFile(source + "/Folder/other.txt", 8, 1614834367);
    WriteFile(source + "/top.txt", 9, 1614834367);
    const QString image = QFileInfo(source).path() + "/disc.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-J", "-V", "LABEL", "-o", image, source}));
    // An old burner cut a pair: the X becomes a high surrogate alone.
    ASSERT_TRUE(Patch(image, Utf16Be("keepXname"), Utf16Be("keep") + QByteArray("\xD8\x3D", 2) + Utf16Be("name")));
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    std::map<QString, CatalogEntry> catalog;
    ASSERT_EQ(session.ReadCatalog(catalog, CLSID_TrellisOtherReader), S_OK);
    ASSERT_EQ(catalog.size(), 4u);
    EXPECT_EQ(catalog[QString::fromUtf16(u"Folder/keep\uFFFDname.txt")].size, 7u);
    EXPECT_EQ(catalog["Folder/other.txt"].size, 8u);
    EXPECT_EQ(catalog["top.txt"].size, 9u);
    EXPECT_TRUE(catalog["Folder"].folder);
}

TEST(TrellisBadNames, LongUdfLabelIsHandedOutAtWholeCharacters)
{
    TestEnvironment::ResetRegistry();
    const QString image = TestEnvironment::MakeFolder("udflabel") + "/label.img";
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(4 << 20));
    file.close();
    // 31 letters and a character outside the first plane: the pair would
    // straddle the 32 units that the label output holds.
    const QString label = QString(31, QChar('L')) + QString::fromUtf16(u"\U0001F600");
    ASSERT_TRUE(RunTool("mkudffs", {"-b", "2048", "-m", "hd", "--label=" + label, image}));
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    DiscProperties disc;
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    EXPECT_EQ(disc.label, QString(31, QChar('L')));
}

// A crafted image can put any bytes in a name. Names are patched in after
// the tool wrote harmless ones of the same length; each comes out as one
// path part: "/" as U+2215, a zero as U+FFFD, "." and ".." as "._" and ".._".
TEST(TrellisBadNames, NamesThatWouldReachOutsideAFolderComeOutAsOnePart)
{
    TestEnvironment::ResetRegistry();
    const QString source = TestEnvironment::MakeFolder("climbing") + "/src";
    QDir().mkpath(source);
    for (const char* name : {"ddsddsx", "dd", "d", "nulzname"}) WriteFile(source + "/" + name, 3, 1614834367);
    const QString rockRidge = QFileInfo(source).path() + "/rr.iso", udf = QFileInfo(source).path() + "/udf.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-R", "-o", rockRidge, source}));
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-udf", "-o", udf, source}));
    // Rock Ridge NM entries: "NM", length, version 1, flags 0, the name.
    const auto nm = [](const QByteArray& name) {
        return "NM" + QByteArray(1, char(5 + name.size())) + QByteArray("\x01\x00", 2) + name;
    };
    ASSERT_TRUE(Patch(rockRidge, nm("ddsddsx"), nm("../../x")));
    ASSERT_TRUE(Patch(rockRidge, nm("dd"), nm("..")));
    ASSERT_TRUE(Patch(rockRidge, nm("d"), nm(".")));
    ASSERT_TRUE(Patch(rockRidge, nm("nulzname"), nm(QByteArray("nul\0name", 8))));
    // UDF file identifiers: compression 8, then the bytes.
    ASSERT_TRUE(Patch(udf, QByteArray("\x08" "ddsddsx"), QByteArray("\x08../../x")));
    ASSERT_TRUE(Patch(udf, QByteArray("\x08" "dd\0", 4), QByteArray("\x08..\0", 4)));
    for (const QString& image : {rockRidge, udf}) {
        TrellisSession session;
        ASSERT_EQ(session.Insert(image), S_OK);
        std::map<QString, CatalogEntry> catalog;
        ASSERT_EQ(session.ReadCatalog(catalog, CLSID_TrellisOtherReader), S_OK);
        QStringList names;
        for (const auto& [name, entry] : catalog) names << name;
        const QStringList expected =
            image == udf ? QStringList{QString::fromUtf16(u"..\u2215..\u2215x"), ".._", "d", "nulzname"}
                         : QStringList{"._", QString::fromUtf16(u"..\u2215..\u2215x"), ".._",
                                       QString::fromUtf16(u"nul\uFFFDname")};
        names.sort();
        QStringList sorted = expected;
        sorted.sort();
        EXPECT_EQ(names, sorted) << image.toStdString();
    }
}
