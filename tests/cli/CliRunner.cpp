#include "CliRunner.h"

#include "Registry.h"
#include "RegistryStore.h"
#include "TestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <csignal>
#include <gtest/gtest.h>

QString CliResult::Unescaped(const QString& field)
{
    QString text;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c != QLatin1Char('\\') || i + 1 == field.size()) {
            text += c;
            continue;
        }
        const QChar next = field[++i];
        text += next == QLatin1Char('t') ? QChar('\t') : next == QLatin1Char('n') ? QChar('\n') : next == QLatin1Char('r') ? QChar('\r') : next;
    }
    return text;
}

QList<QStringList> CliResult::Records() const
{
    QList<QStringList> records;
    for (const QString& line : RawLines()) {
        QStringList fields;
        for (const QString& field : line.split(QLatin1Char('\t'))) fields << Unescaped(field);
        records << fields;
    }
    return records;
}

QStringList CliResult::Lines() const
{
    QStringList lines;
    for (const QStringList& fields : Records()) lines << fields.join(QLatin1Char('\t'));
    return lines;
}

CliRunner::CliRunner() : m_folder(TestEnvironment::MakeFolder(QStringLiteral("cli"))) {}

QProcessEnvironment CliRunner::Environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", m_folder + "/config");
    environment.insert("XDG_DATA_HOME", m_folder + "/data");
    environment.insert("ALBIREO_REGISTRY_USER", m_folder + "/config/user.reg");
    environment.insert("ALBIREO_REGISTRY_MACHINE", m_folder + "/machine.reg");
    environment.remove("ALBIREO_LIBRARY_DB");
    if (!m_library.isEmpty()) environment.insert("ALBIREO_LIBRARY_DB", m_library);
    environment.remove("ALBIREO_PROGRAM_DIR");
    return environment;
}

CliResult CliRunner::Run(const QStringList& arguments, int timeoutMs) const
{
    QProcess process;
    process.setProcessEnvironment(Environment());
    process.start(TestEnvironment::ProgramFolder() + "/albireo-cli", arguments);
    CliResult result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = "timed out";
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QProcess* CliRunner::Start(const QStringList& arguments) const
{
    auto* process = new QProcess;
    process->setProcessEnvironment(Environment());
    process->start(TestEnvironment::ProgramFolder() + "/albireo-cli", arguments);
    return process;
}

bool CliRunner::Interrupt(QProcess& process)
{
    const qint64 id = process.processId();
    return id > 0 && ::kill(static_cast<pid_t>(id), SIGINT) == 0;
}

void CliRunner::SetImageDriveCount(int count) const
{
    // Written with the registry of this process, pointed at the tool's machine store.
    qputenv("ALBIREO_REGISTRY_MACHINE", (m_folder + "/machine.reg").toLocal8Bit());
    RegistryStore::ResetRoots();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Quorvel\\Flintwell13\\Trellis", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD value = static_cast<DWORD>(count);
    RegSetValueExW(key, u"ImageDriveCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
    TestEnvironment::ResetRegistry();
}

QString CliRunner::ImageDriveLetter(int nth) const
{
    // Image drives answer "insert" of a missing file with "no such image file";
    // physical drives are refused as "not an image drive" on a real file.
    const QString probe = m_folder + "/probe.txt";
    QFile file(probe);
    file.open(QIODevice::WriteOnly);
    file.write("not an image");
    file.close();
    int seen = 0;
    for (const QString& line : Run({"drives"}).Lines()) {
        const QString letter = line.section('\t', 0, 0);
        if (!Run({"insert", letter, probe}).err.contains("not an image drive") && seen++ == nth) return letter;
    }
    return QString();
}

namespace TestImages {

QString MakeTree(const QString& parent, const QList<QPair<QString, int>>& files, const QStringList& emptyFolders)
{
    const QString root = parent + "/tree";
    QDir().mkpath(root);
    for (const auto& [path, size] : files) {
        const QString full = root + "/" + path;
        QDir().mkpath(QFileInfo(full).absolutePath());
        QFile file(full);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(size, 'a'));
    }
    for (const QString& folder : emptyFolders) QDir().mkpath(root + "/" + folder);
    return root;
}

// A tool that crashed is run once more: xorriso has been seen to die of a
// segmentation fault, rarely, on a loaded machine, and the image it makes is
// written afresh each time.
static QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    bool finished = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        process.start(program, arguments);
        finished = process.waitForFinished(300000);
        if (!finished || process.exitStatus() != QProcess::CrashExit) break;
    }
    if (!finished || process.exitStatus() == QProcess::CrashExit || process.exitCode() != 0)
        ADD_FAILURE() << qPrintable(program) << " failed: " << process.readAll().toStdString();
    return QString::fromUtf8(process.readAll());
}

namespace {

// A disc's identity holds its volume date to the second, so two images made in
// the same second of the same size would be one disc. Each image of a test run
// gets a volume date of its own: now, or one second past the last one given.
QString DistinctVolumeDate()
{
    static QDateTime last;
    QDateTime date = QDateTime::currentDateTimeUtc();
    date.setTime(QTime(date.time().hour(), date.time().minute(), date.time().second()));
    if (last.isValid() && date <= last) date = last.addSecs(1);
    last = date;
    return date.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral("00");
}

} // namespace

QString MakeIso(const QString& sourceFolder, const QString& imagePath, const QString& volumeId)
{
    QStringList arguments = {"-as", "mkisofs", "-quiet", "-R", "-J", "-V", volumeId};
    // A date asked for through SOURCE_DATE_EPOCH is kept as it is.
    if (!qEnvironmentVariableIsSet("SOURCE_DATE_EPOCH")) arguments << "--modification-date=" + DistinctVolumeDate();
    RunTool("xorriso", arguments << "-o" << imagePath << sourceFolder);
    return imagePath;
}

QString MakeManyFilesIso(const QString& folder, int count, int folders)
{
    const QString source = folder + "/one.dat", list = folder + "/paths.txt", image = folder + "/many.iso";
    QFile one(source);
    one.open(QIODevice::WriteOnly);
    one.write("x");
    one.close();
    QFile paths(list);
    paths.open(QIODevice::WriteOnly);
    for (int i = 0; i < count; ++i)
        paths.write(QString("/d%1/file%2.dat=%3\n").arg(i % folders).arg(i).arg(source).toUtf8());
    paths.close();
    RunTool("xorriso", {"-as", "mkisofs", "-quiet", "-R", "-graft-points", "-path-list", list, "-o", image});
    return image;
}

QString MakeUdfBridge(const QString& sourceFolder, const QString& imagePath, const QString& volumeId)
{
    RunTool("genisoimage", {"-quiet", "-udf", "-R", "-J", "-V", volumeId, "-o", imagePath, sourceFolder});
    return imagePath;
}

QString MakeAudioCue(const QString& folder, int tracks, int seconds, const QByteArray& title)
{
    QDir().mkpath(folder);
    const QString bin = folder + "/audio.bin", cue = folder + "/audio.cue";
    QFile binFile(bin);
    binFile.open(QIODevice::WriteOnly);
    const int frames = seconds * 75;
    const QByteArray frame(2352, '\0');
    QString sheet = "FILE \"audio.bin\" BINARY\n";
    for (int track = 1; track <= tracks; ++track) {
        for (int i = 0; i < frames; ++i) binFile.write(frame);
        const int start = (track - 1) * frames;
        sheet += QString::asprintf("  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n", track, start / 75 / 60,
                                   start / 75 % 60, start % 75);
    }
    QFile cueFile(cue);
    cueFile.open(QIODevice::WriteOnly);
    if (!title.isEmpty()) cueFile.write("TITLE \"" + title + "\"\n");
    cueFile.write(sheet.toUtf8());
    return cue;
}

QStringList ListTree(const QString& folder)
{
    QStringList lines;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        QString path = "\\" + QDir(folder).relativeFilePath(it.filePath()).replace('/', '\\');
        if (it.fileInfo().isDir())
            lines << path + "\\\t0";
        else
            lines << path + "\t" + QString::number(it.fileInfo().size());
    }
    lines.sort();
    return lines;
}

QStringList PeerListing(const QString& imagePath)
{
    // xorriso prints one quoted path a line: '/A/B'.
    const QString output = RunTool("xorriso", {"-indev", imagePath, "-find", "/", "-exec", "lsdl"});
    QStringList paths;
    static const QRegularExpression line(QStringLiteral("^([d-])\\S+\\s.*'(/.+)'$"));
    for (const QString& row : output.split('\n')) {
        const auto match = line.match(row.trimmed());
        if (!match.hasMatch()) continue;
        QString path = match.captured(2);
        path.replace("'\"'\"'", "'");
        path.replace('/', '\\');
        paths << (match.captured(1) == "d" ? path + "\\" : path);
    }
    paths.sort();
    return paths;
}

} // namespace TestImages
