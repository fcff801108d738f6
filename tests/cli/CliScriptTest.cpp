// albireo-cli for scripts: names that break naive output (tabs, newlines,
// backslashes, quotes, markup, right-to-left marks, 255-byte names) read
// back exactly from every output form by independent parsers (Python's
// json, csv and html.parser); search streaming, limits, counts and a reader
// that closes early; and the commands that change discs, with their exit
// codes.
#include "CliEndToEndFixture.h"
#include "ILibraryDiscReads.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Runs a Python program over `input`; its standard output.
QString Python(const QString& program, const QByteArray& input)
{
    QProcess python;
    python.start("python3", {"-c", program});
    if (!python.waitForStarted()) {
        ADD_FAILURE() << "python3 is missing";
        return QString();
    }
    python.write(input);
    python.closeWriteChannel();
    python.waitForFinished(60000);
    EXPECT_EQ(0, python.exitCode()) << python.readAllStandardError().toStdString();
    return QString::fromUtf8(python.readAllStandardOutput());
}

// Each row a parser read, as "<hex of field 1 UTF-8> <field 2> ..." lines: exact
// whatever the names hold.
constexpr char kPrintRows[] = R"py(
def emit(fields):
    print(" ".join(str(f).encode("utf-8", "surrogatepass").hex() for f in fields))
)py";

QString Hex(const QString& text) { return QString::fromLatin1(text.toUtf8().toHex()); }

QStringList Sorted(QStringList list)
{
    list.sort();
    return list;
}

class CliScript : public CliEndToEnd {
protected:
    // A disc of hostile names; returns the (path, size, kind) rows expected
    // of it, paths from the root with backslashes, folders ending in one (a
    // backslash inside a name is catalogued as '_': it separates paths).
    QStringList ImportHostileDisc(const QString& discName)
    {
        const QString longName = QString(251, QChar('a')) + ".txt"; // 255 bytes
        const QList<QPair<QString, int>> files = {{"tab\tname.txt", 1},
                                                  {"new\nline.txt", 2},
                                                  {"cr\rname.txt", 3},
                                                  {"back\\slash.txt", 4},
                                                  {"quote\"s 'and' ,comma.txt", 5},
                                                  {"<script>alert(1)<\\script>.txt", 6},
                                                  {QString("rtl") + QChar(0x202E) + "txt.exe", 7},
                                                  {longName, 8},
                                                  {"%1 %2 &amp;/inner.txt", 9},
                                                  {"fold\ter/x\ny.txt", 10},
                                                  // Escapes past the first eight bytes, and in the last few.
                                                  {"a longer name, a tab after\there.txt", 11},
                                                  {"eight by\tt", 12},
                                                  {"eight by\"q", 13},
                                                  // ... at the end of sixteen bytes, and only in the last
                                                  // sixteen of a longer name.
                                                  {"0123456789abcd\"t", 14},
                                                  {"0123456789abcdef\tx.t", 15},
                                                  {"0123456789abcdefghijklmnopqrstuv\rt", 16}};
        const QString tree = TestImages::MakeTree(m_folder, files);
        const CliResult imported = Import(TestImages::MakeIso(tree, m_folder + "/hostile.iso", "HOSTILE"), {"--name", discName});
        EXPECT_EQ(imported.exitCode, 0) << qPrintable(imported.err);
        QStringList rows;
        QSet<QString> folders;
        for (const auto& [path, size] : files) {
            QStringList parts = path.split('/');
            parts.replaceInStrings("\\", "_");
            for (int depth = 1; depth < parts.size(); ++depth) folders.insert("\\" + parts.mid(0, depth).join('\\') + "\\");
            rows << Hex("\\" + parts.join('\\')) + " " + Hex(QString::number(size)) + " " + Hex("file");
        }
        for (const QString& folder : folders) rows << Hex(folder) + " " + Hex("0") + " " + Hex("folder");
        return Sorted(rows);
    }
};

TEST_F(CliScript, HostileNamesReadBackExactlyFromEveryOutputForm)
{
    const QString discName = "Hostile\t\"<b>disc</b>\" \\ %1";
    const QStringList expected = ImportHostileDisc(discName);
    const QString disc = "#" + m_cli.Run({"discs"}).Records().value(0).value(0);

    // Tab-separated: one line per record, three fields each, read back exactly.
    const CliResult listed = m_cli.Run({"ls", disc, "-R"});
    ASSERT_EQ(listed.exitCode, 0) << qPrintable(listed.err);
    QStringList rows;
    for (const QStringList& fields : listed.Records()) {
        ASSERT_EQ(fields.size(), 3) << qPrintable(fields.join('|'));
        rows << Hex(fields[0]) + " " + Hex(fields[1]) + " " + Hex(fields[0].endsWith('\\') ? "folder" : "file");
    }
    EXPECT_EQ(Sorted(rows), expected);
    EXPECT_EQ(listed.RawLines().size(), expected.size());
    EXPECT_TRUE(listed.out.contains("\\\\tab\\tname.txt\t1\t")) << "a tab in a name is written \\t, a backslash \\\\";

    // JSON Lines, parsed by Python's json.
    const QString fromJson = Python(QString(kPrintRows) + R"py(
import sys, json
for line in sys.stdin.buffer.read().decode("utf-8").split("\n"):
    if line:
        r = json.loads(line)
        emit([r["path"], r["size"], "folder" if r["path"].endswith("\\") else "file"])
)py", m_cli.Run({"ls", disc, "-R", "--json"}).out.toUtf8());
    EXPECT_EQ(Sorted(fromJson.split('\n', Qt::SkipEmptyParts)), expected);

    // search finds each hostile name; its JSON names the disc exactly.
    const CliResult found = m_cli.Run({"search", "--files", "--json", "t"});
    const QString searched = Python(QString(kPrintRows) + R"py(
import sys, json
for line in sys.stdin.buffer.read().decode("utf-8").split("\n"):
    if line:
        r = json.loads(line)
        emit([r["kind"], r["disc"], r["path"]])
)py", found.out.toUtf8());
    QStringList hits;
    for (const QString& row : expected)
        if (row.endsWith(Hex("file"))) hits << Hex("file") + " " + Hex(discName) + " " + row.section(' ', 0, 0);
    EXPECT_EQ(Sorted(searched.split('\n', Qt::SkipEmptyParts)), Sorted(hits));
    const CliResult plain = m_cli.Run({"search", "--files", "t"});
    EXPECT_EQ(plain.RawLines().size(), hits.size());
    QStringList plainHits;
    for (const QStringList& fields : plain.Records()) {
        EXPECT_EQ(fields.size(), 3);
        plainHits << Hex(fields.value(0)) + " " + Hex(fields.value(1)) + " " + Hex(fields.value(2));
    }
    EXPECT_EQ(Sorted(plainHits), Sorted(hits));

    // CSV (RFC 4180), parsed by Python's csv.
    const QString fromCsv = Python(QString(kPrintRows) + R"py(
import sys, csv, io
rows = list(csv.reader(io.StringIO(sys.stdin.buffer.read().decode("utf-8"), newline="")))
assert rows[0] == ["disc", "path", "kind", "size", "time"], rows[0]
for r in rows[1:]:
    emit([r[1], r[3], r[2]])
print("disc " + rows[1][0].encode("utf-8").hex())
)py", m_cli.Run({"export", "--format", "csv"}).out.toUtf8());
    QStringList csvRows = fromCsv.split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(csvRows.removeAll("disc " + Hex(discName)) == 1) << qPrintable(fromCsv);
    EXPECT_EQ(Sorted(csvRows), expected);

    // JSON export: one document.
    const QString fromExport = Python(QString(kPrintRows) + R"py(
import sys, json
for r in json.loads(sys.stdin.buffer.read().decode("utf-8")):
    emit([r["path"], r["size"], r["kind"]])
)py", m_cli.Run({"export", disc, "--format", "json"}).out.toUtf8());
    EXPECT_EQ(Sorted(fromExport.split('\n', Qt::SkipEmptyParts)), expected);

    // HTML: the names come back as text; the only script is the page's own
    // sorting, and nothing is loaded from elsewhere.
    const QString page = m_folder + "/catalogue.html";
    ASSERT_EQ(m_cli.Run({"export", "--format", "html", "--output", page}).exitCode, 0);
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString fromHtml = Python(QString(kPrintRows) + R"py(
import sys
from html.parser import HTMLParser
class Page(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.cells, self.cell, self.row, self.scripts, self.outside, self.heading = [], None, [], 0, 0, None
    def handle_starttag(self, tag, attrs):
        self.scripts += tag == "script"
        self.outside += any(name in ("src", "href") for name, _ in attrs)
        if tag in ("td", "h2"): self.cell = ""
    def handle_endtag(self, tag):
        if tag == "td": self.row.append(self.cell); self.cell = None
        if tag == "h2": self.heading = self.cell; self.cell = None
        if tag == "tr" and self.row: self.cells.append(self.row); self.row = []
    def handle_data(self, data):
        if self.cell is not None: self.cell += data
page = Page()
page.feed(sys.stdin.buffer.read().decode("utf-8"))
for path, kind, size, time in page.cells:
    emit([path, size, kind])
print("scripts %d outside %d" % (page.scripts, page.outside))
print("disc " + page.heading.encode("utf-8").hex())
)py", file.readAll());
    QStringList htmlRows = fromHtml.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(htmlRows.removeAll("scripts 1 outside 0"), 1) << qPrintable(fromHtml);
    EXPECT_EQ(htmlRows.removeAll("disc " + Hex(discName)), 1) << qPrintable(fromHtml);
    EXPECT_EQ(Sorted(htmlRows), expected);
    EXPECT_FALSE(QFile::exists(page + ".part"));

    // Into a pipe (as into a device or a terminal): written as it is, never
    // replaced by a file. The test holds a writer's end open of its own, so
    // that its reader ends (when it closes it) whatever the export did.
    const QString pipe = m_folder + "/pipe";
    ASSERT_EQ(0, mkfifo(QFile::encodeName(pipe).constData(), 0600));
    QByteArray piped;
    std::thread drain([&] {
        QFile in(pipe);
        if (in.open(QIODevice::ReadOnly)) piped = in.readAll();
    });
    const int held = ::open(QFile::encodeName(pipe).constData(), O_WRONLY);
    const int exported = m_cli.Run({"export", "--format", "csv", "--output", pipe}).exitCode;
    ::close(held);
    drain.join();
    EXPECT_EQ(0, exported);
    EXPECT_EQ(m_cli.Run({"export", "--format", "csv"}).out.toUtf8(), piped);
    struct stat status {};
    EXPECT_TRUE(::stat(QFile::encodeName(pipe).constData(), &status) == 0 && S_ISFIFO(status.st_mode));
    EXPECT_FALSE(QFile::exists(pipe + ".part"));
}

TEST_F(CliScript, SearchStreamsHitsWithLimitsCountsAndStopsWhenTheReaderCloses)
{
    const QString image = TestImages::MakeManyFilesIso(m_folder, 20000, 20); // d0..d19, file0..file19999
    ASSERT_EQ(Import(image, {"--name", "Many"}).exitCode, 0);
    const QString tree = TestImages::MakeTree(m_folder, {{"d1x/file1.txt", 1}, {"other.txt", 1}});
    ASSERT_EQ(Import(TestImages::MakeIso(tree, m_folder + "/small.iso", "SMALL"), {"--name", "Small"}).exitCode, 0);

    const CliResult all = m_cli.Run({"search", "file1"});
    ASSERT_EQ(all.exitCode, 0) << qPrintable(all.err);
    const QStringList lines = all.Lines();
    // file1, file10..19, file100..199, file1000..1999, file10000..19999, and Small's file1.txt
    EXPECT_EQ(lines.size(), 1 + 10 + 100 + 1000 + 10000 + 1);
    EXPECT_TRUE(lines.contains("file\tSmall\t\\d1x\\file1.txt"));
    EXPECT_TRUE(lines.contains("file\tMany\t\\d1\\file1.dat"));

    const QStringList counted = m_cli.Run({"search", "file1", "--count"}).Lines();
    EXPECT_EQ(counted, QStringList({"discs\t0", "folders\t0", QString("files\t%1").arg(lines.size())}));
    EXPECT_EQ(m_cli.Run({"search", "1", "--count", "--folders"}).Lines(), QStringList({"folders\t12"})); // d1, d10..d19, d1x
    EXPECT_EQ(m_cli.Run({"search", "file1", "--count", "--files", "--disc", "Small"}).Lines(), QStringList({"files\t1"}));
    EXPECT_EQ(m_cli.Run({"search", "--json", "--count", "--files", "file1"}).Lines(),
              QStringList({QString("{\"kind\":\"files\",\"count\":%1}").arg(lines.size())}));

    const QStringList limited = m_cli.Run({"search", "file1", "--limit", "5"}).Lines();
    EXPECT_EQ(limited, lines.mid(0, 5)) << "the first hits, in the listing's order";
    const QStringList folders = m_cli.Run({"search", "d1", "--folders"}).Lines();
    EXPECT_EQ(folders.size(), 12);
    for (const QString& line : folders) EXPECT_TRUE(line.startsWith("folder\t")) << qPrintable(line);
    EXPECT_EQ(m_cli.Run({"search", "Sma"}).Lines(), QStringList({"disc\tSmall\t\\"}));
    EXPECT_EQ(m_cli.Run({"search", "file1", "--disc", "Small"}).Lines(), QStringList({"file\tSmall\t\\d1x\\file1.txt"}));

    // A reader that takes one line and closes: the search ends at once,
    // quietly and successfully.
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", m_folder + "/config");
    environment.insert("XDG_DATA_HOME", m_folder + "/data");
    environment.insert("ALBIREO_REGISTRY_USER", m_folder + "/config/user.reg");
    environment.insert("ALBIREO_REGISTRY_MACHINE", m_folder + "/machine.reg");
    shell.setProcessEnvironment(environment);
    shell.start("bash", {"-c", "\"$0\" search e | head -1; echo \"status ${PIPESTATUS[0]}\"",
                         TestEnvironment::ProgramFolder() + "/albireo-cli"});
    ASSERT_TRUE(shell.waitForFinished(60000));
    const QString out = QString::fromUtf8(shell.readAllStandardOutput());
    EXPECT_EQ(out.split('\n', Qt::SkipEmptyParts).size(), 2) << qPrintable(out);
    EXPECT_TRUE(out.endsWith("status 0\n")) << qPrintable(out);
    EXPECT_TRUE(QString::fromUtf8(shell.readAllStandardError()).isEmpty());

    // A search starts without the picture libraries (Qt Gui and what it
    // brings): only the commands that handle a picture load them.
    QProcess traced;
    QProcessEnvironment tracing = environment;
    tracing.insert("LD_DEBUG", "files");
    traced.setProcessEnvironment(tracing);
    traced.start(TestEnvironment::ProgramFolder() + "/albireo-cli", {"search", "file1", "--limit", "1"});
    ASSERT_TRUE(traced.waitForFinished(60000));
    EXPECT_EQ(traced.exitCode(), 0);
    const QString loaded = QString::fromUtf8(traced.readAllStandardError());
    EXPECT_TRUE(loaded.contains("libStackvault.so")) << "the trace names the libraries loaded";
    EXPECT_FALSE(loaded.contains("libQt6Gui")) << qPrintable(loaded);
    EXPECT_FALSE(loaded.contains("libStackvaultPicture")) << qPrintable(loaded);
    EXPECT_FALSE(loaded.contains("libAlbireoLabels")) << qPrintable(loaded);

    for (const QStringList& wrong : {QStringList{"search"}, QStringList{"search", "x", "--limit", "0"},
                                     QStringList{"search", "x", "--limit"}, QStringList{"search", "x", "--count", "--limit", "3"},
                                     QStringList{"search", "x", "--frobnicate"}, QStringList{"eject", "D:", "--json"}})
        EXPECT_EQ(m_cli.Run(wrong).exitCode, 2) << qPrintable(wrong.join(' '));
    EXPECT_EQ(m_cli.Run({"search", "x", "--disc", "Nothing"}).exitCode, 1);
}

TEST_F(CliScript, DiscsAreRenamedTaggedLabelledAndDeletedByNameOrId)
{
    const QString tree = TestImages::MakeTree(m_folder, {{"a.txt", 10}});
    ASSERT_EQ(Import(TestImages::MakeIso(tree, m_folder + "/a.iso", "A"), {"--name", "Same"}).exitCode, 0);
    const QString other = TestImages::MakeTree(m_folder + "/b", {{"b.txt", 20}});
    ASSERT_EQ(Import(TestImages::MakeIso(other, m_folder + "/b.iso", "B"), {"--name", "Same", "--tags", "Music"}).exitCode, 0);
    const QList<QStringList> discs = m_cli.Run({"discs"}).Records();
    ASSERT_EQ(discs.size(), 2);
    const QString first = "#" + discs[0][0], second = "#" + discs[1][0];

    // An ambiguous name is refused with the candidates.
    const CliResult ambiguous = m_cli.Run({"ls", "Same"});
    EXPECT_EQ(ambiguous.exitCode, 1);
    EXPECT_TRUE(ambiguous.err.contains(first + " \"Same\"") && ambiguous.err.contains(second + " \"Same\"")) << qPrintable(ambiguous.err);
    EXPECT_EQ(m_cli.Run({"rename", "Same", "X"}).exitCode, 1);

    EXPECT_EQ(m_cli.Run({"rename", second, "Second\tdisc"}).exitCode, 0);
    EXPECT_EQ(m_cli.Run({"ls", "Same"}).Lines(), QStringList({"\\a.txt\t10\t" + m_cli.Run({"ls", first}).Records().value(0).value(2)}));
    EXPECT_EQ(m_cli.Run({"search", "disc"}).Lines(), QStringList({"disc\tSecond\tdisc\t\\"}));
    EXPECT_EQ(m_cli.Run({"search", "Same"}).Records().size(), 1);
    EXPECT_EQ(m_cli.Run({"rename", "#999", "X"}).exitCode, 1);
    EXPECT_EQ(m_cli.Run({"rename", second, ""}).exitCode, 2);

    // Tags: listed, set, added, removed; unknown tags are created.
    EXPECT_EQ(m_cli.Run({"tags", second}).Lines(), QStringList({"Music"}));
    EXPECT_EQ(m_cli.Run({"tags", second, "--add", "Holiday,photo"}).exitCode, 0);
    EXPECT_EQ(m_cli.Run({"tags", second}).Lines(), QStringList({"Photo", "Music", "Holiday"})) << "in the library's tag order";
    EXPECT_EQ(m_cli.Run({"tags", second, "--remove", "music"}).exitCode, 0);
    EXPECT_EQ(m_cli.Run({"tags", second, "--json"}).Lines(), QStringList({"{\"tag\":\"Photo\"}", "{\"tag\":\"Holiday\"}"}));
    const CliResult notThere = m_cli.Run({"tags", second, "--remove", "Video"});
    EXPECT_EQ(notThere.exitCode, 1);
    EXPECT_TRUE(notThere.err.contains("no tag \"Video\""));
    EXPECT_EQ(m_cli.Run({"tags", second, "--set", "Video"}).exitCode, 0);
    EXPECT_EQ(m_cli.Run({"tags", second}).Lines(), QStringList({"Video"}));
    EXPECT_EQ(m_cli.Run({"tags", second, "--set", "A", "--add", "B"}).exitCode, 2);
    const CliResult twice = m_cli.Run({"tags", second, "--add", "A", "--add", "B"});
    EXPECT_EQ(twice.exitCode, 2) << "neither value may be dropped unseen";
    EXPECT_TRUE(twice.err.contains("--add is given more than once")) << qPrintable(twice.err);
    EXPECT_EQ(m_cli.Run({"tags", second}).Lines(), QStringList({"Video"}));

    // Label: a picture becomes the disc's own label set; a damaged one is refused.
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(m_folder + "/cover.png"));
    DiscRecord before{};
    WithLibrary([&](ILibraryEngine* library) {
        DiscRecord records[2]{};
        library->GetDiscs(records, 2);
        before = records[0];
    });
    EXPECT_EQ(m_cli.Run({"label", first, m_folder + "/cover.png"}).exitCode, 0);
    QFile cover(m_folder + "/cover.png");
    ASSERT_TRUE(cover.open(QIODevice::ReadOnly));
    QFile cut(m_folder + "/cut.png");
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(cover.readAll().left(100));
    cut.close();
    const CliResult damaged = m_cli.Run({"label", first, m_folder + "/cut.png"});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_FALSE(damaged.err.isEmpty());
    WithLibrary([&](ILibraryEngine* library) {
        DiscRecord records[2]{};
        library->GetDiscs(records, 2);
        EXPECT_NE(records[0].labelId, before.labelId);
        QImage* thumbnail = nullptr;
        ASSERT_EQ(library->GetLabelThumbnail(records[0].labelId, &thumbnail), S_OK);
        EXPECT_EQ(thumbnail->size(), QSize(32, 32));
        delete thumbnail;
        // The picture's colour at the centre, cut to a disc: its corners are not the picture.
        QImage* large = nullptr;
        ASSERT_EQ(library->GetLabelImage(records[0].labelId, &large), S_OK);
        EXPECT_EQ(large->pixelColor(large->width() / 2, large->height() / 3).rgb(), QColor(Qt::darkCyan).rgb());
        EXPECT_NE(large->pixelColor(1, 1).rgb(), QColor(Qt::darkCyan).rgb());
        delete large;
    });

    // Delete: asks; "n" keeps the disc, --yes removes it.
    QProcess* asked = m_cli.Start({"delete", first});
    ASSERT_TRUE(asked->waitForStarted());
    asked->write("n\n");
    asked->closeWriteChannel();
    ASSERT_TRUE(asked->waitForFinished(60000));
    EXPECT_EQ(asked->exitCode(), 1);
    delete asked;
    EXPECT_EQ(m_cli.Run({"discs"}).Records().size(), 2);
    EXPECT_EQ(m_cli.Run({"delete", first, "--yes"}).exitCode, 0);
    EXPECT_EQ(m_cli.Run({"discs"}).Records().size(), 1);
    EXPECT_EQ(m_cli.Run({"delete", first, "--yes"}).exitCode, 1);
    EXPECT_EQ(m_cli.Run({"search", "a.txt"}).Lines(), QStringList());

    for (const char* command : {"rename", "tags", "delete", "label", "export", "compare"}) {
        const CliResult help = m_cli.Run({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command;
        EXPECT_TRUE(help.out.startsWith("Usage: albireo-cli ")) << command;
        // export alone writes the whole catalogue; the others need a disc or folder.
        EXPECT_EQ(m_cli.Run({command}).exitCode, QLatin1String(command) == "export" ? 0 : 2) << command;
    }
    EXPECT_EQ(m_cli.Run({"export", "--format", "pdf"}).exitCode, 2);
    EXPECT_EQ(m_cli.Run({"export", "#999"}).exitCode, 1);
}

TEST_F(CliScript, DeleteIsRefusedWhileTheDiscIsCataloguedAgain)
{
    const QString tree = TestImages::MakeTree(m_folder, {{"a.txt", 10}});
    ASSERT_EQ(Import(TestImages::MakeIso(tree, m_folder + "/a.iso", "A"), {"--name", "Kept"}).exitCode, 0);
    const DiscRecord old = OnlyDisc();
    // An import that catalogues the disc again holds it while the tool is asked.
    WithLibrary([&](ILibraryEngine* library) {
        ASSERT_EQ(library->AddDisc("0123456789ABCDEF0123456789ABCDEF", u"", u"", u"", u"Again", u"", 0, 1, 0, 0, 0, 0, u""), S_OK);
        LONG added = 0, label = 0;
        library->GetLastAddedDisc(&added, &label);
        LibraryImportHandle handle = nullptr;
        ASSERT_EQ(library->OpenImportHandle(&handle), S_OK);
        ILibraryDiscReads* reads = nullptr;
        ASSERT_EQ(library->QueryInterface(IID_ILibraryDiscReads, reinterpret_cast<void**>(&reads)), S_OK);
        ASSERT_EQ(reads->ReplaceDiscWithHandle(handle, added, old.discId), S_OK);
        reads->Release();
        const CliResult refused = m_cli.Run({"delete", "Kept", "--yes"});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.contains("being imported")) << qPrintable(refused.err);
        EXPECT_EQ(m_cli.Run({"delete", QString("#%1").arg(added), "--yes"}).exitCode, 1) << "the new disc is not listed yet";
        EXPECT_EQ(m_cli.Run({"discs"}).Records().size(), 1);
    }); // closing the library undoes the unfinished import
    EXPECT_EQ(m_cli.Run({"delete", "Kept", "--yes"}).exitCode, 0);
    EXPECT_TRUE(m_cli.Run({"discs"}).Lines().isEmpty());
}

TEST_F(CliScript, CompareTellsWhichLocalFilesAreCatalogued)
{
    const QString tree = TestImages::MakeTree(m_folder, {{"photos/one.jpg", 100}, {"photos/two.jpg", 200}});
    ASSERT_EQ(Import(TestImages::MakeIso(tree, m_folder + "/p.iso", "P"), {"--name", "Photos"}).exitCode, 0);
    const QString disc = "#" + m_cli.Run({"discs"}).Records().value(0).value(0);

    const QString local = m_folder + "/local";
    TestImages::MakeTree(local, {{"2024/one.jpg", 100}, {"2024/TWO.JPG", 200}});
    const CliResult complete = m_cli.Run({"compare", local + "/tree"});
    EXPECT_EQ(complete.exitCode, 0) << qPrintable(complete.err);
    EXPECT_EQ(Sorted(complete.Lines()),
              QStringList({"catalogued\t2024/TWO.JPG\t200\t" + disc, "catalogued\t2024/one.jpg\t100\t" + disc}));

    TestImages::MakeTree(local, {{"2024/three.jpg", 300}, {"2024/sub/one.jpg", 101}});
    const CliResult incomplete = m_cli.Run({"compare", local + "/tree", "--json"});
    EXPECT_EQ(incomplete.exitCode, 5);
    EXPECT_TRUE(incomplete.out.contains("{\"state\":\"missing\",\"path\":\"2024/three.jpg\",\"size\":300,\"discs\":\"\"}"));
    EXPECT_TRUE(incomplete.out.contains("{\"state\":\"missing\",\"path\":\"2024/sub/one.jpg\",\"size\":101,\"discs\":\"\"}"))
        << "the same name with another size is not the same file";
    // In name order, a folder's files before its subfolders, whatever order the file system keeps.
    QStringList paths;
    for (const QString& line : m_cli.Run({"compare", local + "/tree"}).Lines()) paths << line.section('\t', 1, 1);
    EXPECT_EQ(paths, QStringList({"2024/TWO.JPG", "2024/one.jpg", "2024/three.jpg", "2024/sub/one.jpg"}));
    EXPECT_EQ(m_cli.Run({"compare", local + "/tree", "--disc", disc}).exitCode, 5);
    EXPECT_EQ(m_cli.Run({"compare", m_folder + "/none"}).exitCode, 1);
    EXPECT_EQ(m_cli.Run({"compare", local + "/tree", "--disc", "#77"}).exitCode, 1);
}

} // namespace
