// Disc images prepared as an attacker would for download: names that hold
// a slash, "..", a zero, or 255 bytes of "../" (patched into Rock Ridge NM
// entries, Joliet names and UDF file identifiers after the peer tools made
// the images). They are imported by the real scan; the catalogue then
// holds no name a file system would read as more than one part, and
// opening each file in the window writes exactly one file, inside the
// private temporary folder, and nothing anywhere else.
#include "CAlbireoApp.h"
#include "CAlbListCtrl.h"
#include "CDiscAccess.h"
#include "CFileListView.h"
#include "CMainFrame.h"
#include "DesktopOpener.h"
#include "CatalogueFixture.h"
#include "ImageDriveSlots.h"
#include "ModalSeam.h"
#include "PrivateTempFolder.h"
#include "TestEnvironment.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>
#include <set>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

// How each image format stores a name, so that the name a peer tool wrote
// can be found and replaced by a hostile one of the same length.
enum class Format { RockRidge, Joliet, Udf };

// The name the peer tool writes in place of a hostile one: the same length,
// with letters where the hostile name has characters no file name holds.
QByteArray Stand(const QByteArray& hostile)
{
    QByteArray stand = hostile;
    stand.replace('.', 'd').replace('/', 's').replace('\0', 'z');
    return stand;
}

QByteArray Utf16Be(const QByteArray& latin1)
{
    QByteArray bytes;
    for (char c : latin1) bytes.append('\0').append(c);
    return bytes;
}

// The bytes around a name in the image: the Rock Ridge NM entry's header,
// Joliet's length byte, UDF's compression byte (and, for a short name, the
// zero padding after it, so that "dd" is not the start of a longer name).
QByteArray Stored(Format format, const QByteArray& name)
{
    switch (format) {
    case Format::RockRidge: return QByteArray("NM") + char(5 + name.size()) + QByteArray("\x01\x00", 2) + name;
    case Format::Joliet: return char(2 * name.size()) + Utf16Be(name);
    case Format::Udf: return '\x08' + name + (name.size() < 4 ? QByteArray(1, '\0') : QByteArray());
    }
    return {};
}

// What the catalogue should show for a hostile name.
QString Catalogued(const QByteArray& hostile)
{
    QString name = QString::fromLatin1(hostile);
    name.replace(u'/', QChar(0x2215)).replace(QChar(0), QChar(0xFFFD));
    if (name == u"." || name == u"..") name += u'_';
    return name;
}

bool Run(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    const bool ran = tool.waitForFinished(120000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    EXPECT_TRUE(ran) << program.toStdString() << ": " << tool.readAllStandardError().toStdString();
    return ran;
}

// A 255-byte Rock Ridge name takes two NM entries; its stand-in is "jjk"
// repeated, turned into "../" wherever it lies.
const QByteArray kLongClimb = QByteArray("../").repeated(85);
QByteArray LongStand() { return QByteArray("jjk").repeated(85); }

struct HostileDisc {
    QString discName;
    QString image;
    // Catalogued name -> the file's content.
    std::map<QString, QByteArray> files;
};

// Makes the image of `hostile` names (each file executable, its content
// naming it) with the peer tool, then patches the names in.
HostileDisc MakeDisc(const QString& discName, Format format, const QList<QByteArray>& hostile, bool longClimb = false)
{
    HostileDisc disc{discName, {}, {}};
    const QString folder = TestEnvironment::MakeFolder(discName);
    const QString source = folder + QStringLiteral("/src");
    QDir().mkpath(source);
    QList<QPair<QByteArray, QByteArray>> names; // stand-in, hostile
    for (const QByteArray& name : hostile) names.append(qMakePair(Stand(name), name));
    if (longClimb) names.append(qMakePair(LongStand(), kLongClimb));
    names.append(qMakePair(QByteArray("plain.txt"), QByteArray("plain.txt")));
    for (const auto& [stand, name] : names) {
        const QByteArray content = "content of " + name.toHex();
        QFile file(source + u'/' + QString::fromLatin1(stand));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << stand.toStdString();
        file.write(content);
        file.close();
        chmod(QFile::encodeName(file.fileName()).constData(), 0755);
        disc.files[Catalogued(name)] = content;
    }
    disc.image = folder + QStringLiteral("/disc.iso");
    const QString kind = format == Format::RockRidge ? "-R" : format == Format::Joliet ? "-J" : "-udf";
    if (!Run("genisoimage", {"-quiet", kind, "-V", discName.toUpper(), "-o", disc.image, source})) return disc;
    QFile file(disc.image);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray data = file.readAll();
    for (const QByteArray& name : hostile) {
        const QByteArray from = Stored(format, Stand(name)), to = Stored(format, name);
        EXPECT_EQ(data.count(from), 1) << "the name " << name.toStdString() << " is in the image once";
        data.replace(from, to);
    }
    if (longClimb) {
        // The two pieces of the NM entries, 146 and 109 bytes in one image.
        qsizetype patched = 0;
        const QString text = QString::fromLatin1(data);
        for (const QRegularExpressionMatch& run : QRegularExpression("[jk]{2,}").globalMatch(text)) {
            for (qsizetype i = run.capturedStart(); i < run.capturedEnd(); ++i) data[i] = data[i] == 'j' ? '.' : '/';
            patched += run.capturedLength();
        }
        EXPECT_EQ(patched, 255);
    }
    file.seek(0);
    file.write(data);
    return disc;
}

// Everything below a folder (links not followed): path -> "kind size".
std::map<QString, QString> Snapshot(const QString& folder)
{
    std::map<QString, QString> found;
    QDirIterator entries(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        found[entry.filePath()] = entry.isSymLink() ? QStringLiteral("link")
                                  : entry.isDir()   ? QStringLiteral("folder")
                                                    : QStringLiteral("file %1").arg(entry.size());
    }
    return found;
}

class HostileNamesWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_catalogue = new CatalogueFixture;
        g_discs = new std::vector<HostileDisc>{
            MakeDisc("RockRidge", Format::RockRidge,
                     {"../../pwned1", "../../../home/pwned2", QByteArray("nul\0name", 8), "..", "."}, true),
            MakeDisc("Joliet", Format::Joliet, {"../../jpwned1", "../../../home/jpwned2", "..", "a/b"}),
            MakeDisc("Udf", Format::Udf, {"../../upwned1", "../../../home/upwned2", "..", "x/y"}),
        };
        for (const HostileDisc& disc : *g_discs) ASSERT_TRUE(g_catalogue->ImportImage(disc.discName, disc.image));
    }
    static void TearDownTestSuite()
    {
        delete g_discs;
        delete g_catalogue;
    }

    static CatalogueFixture* g_catalogue;
    static std::vector<HostileDisc>* g_discs;
};

CatalogueFixture* HostileNamesWindowTest::g_catalogue = nullptr;
std::vector<HostileDisc>* HostileNamesWindowTest::g_discs = nullptr;

TEST_F(HostileNamesWindowTest, TheCatalogueHoldsEveryNameAsOneFileName)
{
    for (const HostileDisc& disc : *g_discs) {
        const CliResult listing = g_catalogue->Cli().Run({"ls", disc.discName, "-R"});
        ASSERT_EQ(listing.exitCode, 0) << listing.err.toStdString();
        std::set<QString> names;
        for (const QString& line : listing.Lines()) {
            const QString path = line.section(u'\t', 0, 0);
            const QStringList parts = path.split(u'\\', Qt::SkipEmptyParts);
            ASSERT_EQ(parts.size(), 1) << "every file sits in the root: " << path.toStdString();
            for (const QString& part : parts) {
                EXPECT_FALSE(part.contains(u'/') || part.contains(QChar(0)) || part == u"." || part == u"..")
                    << disc.discName.toStdString() << ": " << part.toStdString();
                names.insert(part);
            }
        }
        std::set<QString> expected;
        for (const auto& [name, content] : disc.files) expected.insert(name);
        EXPECT_EQ(names, expected) << disc.discName.toStdString();
    }
}

TEST_F(HostileNamesWindowTest, OpeningEachFileWritesOneFileInsideThePrivateFolderAndNothingElse)
{
    // The temporary folder and the home folder side by side, so that a name
    // climbing out of the private folder would land in one of them.
    const QString place = TestEnvironment::MakeFolder("victim");
    const QByteArray oldTemp = qgetenv("TMPDIR"), oldHome = qgetenv("HOME");
    QDir().mkpath(place + "/tmp");
    QDir().mkpath(place + "/home");
    qputenv("TMPDIR", QFile::encodeName(place + "/tmp"));
    qputenv("HOME", QFile::encodeName(place + "/home"));
    PrivateTempFolder::RemoveAll();
    const QString privateFolder = QDir(PrivateTempFolder::Path()).absolutePath();
    ASSERT_EQ(QFileInfo(privateFolder).path(), place + "/tmp");

    std::unique_ptr<CAlbireoApp> app = CatalogueFixture::StartProgram();
    ASSERT_TRUE(app) << (ModalSeam::Shown().empty() ? 0u : ModalSeam::Shown().back().textId);
    CDiscAccess* discs = CAlbireoApp::GetDiscAccess();
    CFileListView* view = app->MainFrame()->FileListView();
    QList<QUrl> opened;
    DesktopOpener::Set([&](const QUrl& url) {
        opened << url;
        return true;
    });
    const std::map<QString, QString> before = Snapshot(place);
    int opens = 0;
    for (const HostileDisc& disc : *g_discs) {
        const int position = ImageDriveSlots(*discs).ChooseFor(disc.image);
        QString reason;
        ASSERT_EQ(ImageDriveSlots(*discs).Insert(position, disc.image, &reason), S_OK) << reason.toStdString();
        ASSERT_TRUE(CatalogueFixture::OpenRowNamed(view, disc.discName));
        for (const auto& [name, content] : disc.files) {
            ASSERT_TRUE(CatalogueFixture::OpenRowNamed(view, name)) << name.toStdString();
            ++opens;
            ASSERT_EQ(opened.size(), opens) << name.toStdString() << ": " << ModalSeam::Shown().size() << " messages";
            const QString file = opened.back().toLocalFile();
            EXPECT_EQ(QFileInfo(QFileInfo(file).path()).path(), privateFolder) << file.toStdString();
            EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
            QFile copy(file);
            ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
            EXPECT_EQ(copy.readAll(), content) << name.toStdString();
            EXPECT_EQ(QFileInfo(file).permissions() & (QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther), 0)
                << "the disc's executable bit is not kept";
        }
        QTest::keyClick(view->List(), Qt::Key_Backspace);
        ImageDriveSlots(*discs).At(position)->EjectImage();
    }
    DesktopOpener::Set([](const QUrl&) { return false; });
    EXPECT_TRUE(ModalSeam::Shown().empty()) << ModalSeam::Shown().front().text.toStdString();

    // Exactly the opened files are new (each in a folder of its own), all
    // inside the private folder.
    const std::map<QString, QString> after = Snapshot(place);
    std::set<QString> added, expected;
    for (const auto& [path, kind] : after)
        if (!before.count(path)) added.insert(path);
    for (const QUrl& url : opened) {
        expected.insert(url.toLocalFile());
        expected.insert(QFileInfo(url.toLocalFile()).path());
    }
    EXPECT_EQ(added, expected);
    for (const auto& [path, kind] : before) EXPECT_EQ(after.count(path), 1u) << path.toStdString();

    app.reset();
    PrivateTempFolder::RemoveAll();
    qputenv("TMPDIR", oldTemp);
    qputenv("HOME", oldHome);
}

TEST_F(HostileNamesWindowTest, ANameCataloguedBeforeNamesWereMadeSafeIsRefusedInWords)
{
    // A library written by an older version holds the name as the disc had it.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(g_catalogue->LibraryPath()).constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE files SET name = '../../plain.txt' WHERE name = 'plain.txt' AND disc_id = "
                               "(SELECT id FROM discs WHERE name = 'RockRidge')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(sqlite3_changes(db), 1);
    sqlite3_close(db);

    std::unique_ptr<CAlbireoApp> app = CatalogueFixture::StartProgram();
    ASSERT_TRUE(app) << (ModalSeam::Shown().empty() ? 0u : ModalSeam::Shown().back().textId);
    CDiscAccess* discs = CAlbireoApp::GetDiscAccess();
    CFileListView* view = app->MainFrame()->FileListView();
    const HostileDisc& disc = g_discs->front();
    const int position = ImageDriveSlots(*discs).ChooseFor(disc.image);
    ASSERT_EQ(ImageDriveSlots(*discs).Insert(position, disc.image, nullptr), S_OK);
    const std::map<QString, QString> before = Snapshot(PrivateTempFolder::Path());
    bool handedOver = false;
    DesktopOpener::Set([&](const QUrl&) { return handedOver = true; });
    ASSERT_TRUE(CatalogueFixture::OpenRowNamed(view, disc.discName));
    ASSERT_TRUE(CatalogueFixture::OpenRowNamed(view, "../../plain.txt"));
    DesktopOpener::Set([](const QUrl&) { return false; });
    EXPECT_FALSE(handedOver);
    ASSERT_EQ(ModalSeam::Shown().size(), 1u);
    EXPECT_EQ(ModalSeam::Shown()[0].text, "The name ../../plain.txt cannot be a file name on this computer: it holds a "
                                          "slash or a zero character, or it is \".\" or \"..\".");
    EXPECT_EQ(Snapshot(PrivateTempFolder::Path()), before);
    ImageDriveSlots(*discs).At(position)->EjectImage();
}

} // namespace
