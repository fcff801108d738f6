#include "DiscImages.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <sys/time.h>

namespace DiscImages {

bool RunTool(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(300000)) {
        ADD_FAILURE() << program.toStdString() << " did not run";
        return false;
    }
    const QString text = QString::fromUtf8(process.readAll());
    if (output) *output = text;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << text.toStdString();
        return false;
    }
    return true;
}

bool HaveTool(const QString& program) { return !QStandardPaths::findExecutable(program).isEmpty(); }

UINT64 FileTimeOf(qint64 secondsSince1970) { return UINT64(secondsSince1970 + 11644473600LL) * 10000000ULL; }

void WriteFile(const QString& path, qint64 size, qint64 modified)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(int(std::min<qint64>(size, 1000)), 'x'));
    if (size > 1000) file.resize(size);
    file.close();
    const struct timeval times[2] = {{time_t(modified), 0}, {time_t(modified), 0}};
    ASSERT_EQ(utimes(QFile::encodeName(path).constData(), times), 0);
}

std::map<QString, CatalogEntry> SourceCatalog(const QString& root)
{
    std::map<QString, CatalogEntry> catalog;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        CatalogEntry entry;
        entry.folder = info.isDir();
        entry.size = entry.folder ? 0 : UINT64(info.size());
        entry.fileTime = FileTimeOf(info.lastModified().toSecsSinceEpoch());
        catalog[info.filePath().mid(root.size() + 1)] = entry;
    }
    return catalog;
}

std::map<QString, CatalogEntry> PeerListing(const QString& image)
{
    QString text;
    std::map<QString, CatalogEntry> listing;
    if (!RunTool(QStringLiteral("xorriso"), {"-indev", image, "-find", "/", "-exec", "lsdl"}, &text)) return listing;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        // "-rw-r--r--    1 0        0            5000 Dec  5 20:35 '/dir/file'"
        static const QRegularExpression entryLine(QStringLiteral("^[-dlbcps][-rwxsStT]{9} "));
        const qsizetype quote = line.indexOf(QLatin1String(" '/"));
        if (quote < 0 || !entryLine.match(line).hasMatch()) continue;
        const QStringList fields = line.left(quote).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QString path = line.mid(quote + 1);
        path = path.mid(1, path.size() - 2).replace(QLatin1String("'\"'\"'"), QLatin1String("'"));
        if (path == QLatin1String("/") || fields.size() < 5) continue;
        CatalogEntry entry;
        entry.folder = line.startsWith(QLatin1Char('d'));
        entry.size = entry.folder ? 0 : fields[4].toULongLong();
        listing[path.mid(1)] = entry;
    }
    return listing;
}

void WriteAudio(QByteArray& bin, int frames, int seed)
{
    uint32_t state = uint32_t(seed) * 2654435761u + 1;
    const qsizetype start = bin.size();
    bin.resize(start + qsizetype(frames) * 2352);
    for (qsizetype i = start; i < bin.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        bin[i] = char(state >> 24);
    }
}

void WriteMode1(QByteArray& bin, const QByteArray& iso)
{
    const int blocks = int(iso.size() / 2048);
    for (int block = 0; block < blocks; ++block) {
        QByteArray sector(2352, 0);
        for (int i = 1; i <= 10; ++i) sector[i] = char(0xFF);
        const int address = block + 150;
        const auto bcd = [](int v) { return char((v / 10) << 4 | (v % 10)); };
        sector[12] = bcd(address / 4500);
        sector[13] = bcd(address / 75 % 60);
        sector[14] = bcd(address % 75);
        sector[15] = 1;
        sector.replace(16, 2048, iso.mid(qsizetype(block) * 2048, 2048));
        bin.append(sector);
    }
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

uint32_t Le32At(const QByteArray& data, qsizetype offset)
{
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData() + offset);
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

} // namespace DiscImages
