#include "BrowseLibrary.h"

#include "LibraryBenchData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

using namespace LibraryBench;

namespace BrowseLibrary {

namespace {

constexpr int kBatchRows = 600;
constexpr int kFoldersOfLastDisc = 2;

const char16_t* W(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

int FirstFolderOf(int disc) { return (disc - 1) * kFoldersPerDisc + 1; }

QString Quoted(QString text) { return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); }

QString Rows(const QStringList& rows)
{
    return QStringLiteral(" SELECT ") + rows.join(QStringLiteral(" UNION SELECT "));
}

void Check(HRESULT hr, const char* what)
{
    if (SUCCEEDED(hr)) return;
    std::fprintf(stderr, "%s failed: %08X\n", what, static_cast<unsigned>(hr));
    std::exit(1);
}

// The folders of a disc with their paths ("\Folder n"), all in the root.
void AddFolders(Engine& engine, LibraryImportHandle handle, int disc, int discId, int folders)
{
    QStringList folderRows, pathRows;
    for (int f = 0; f < folders; ++f) {
        const int id = FirstFolderOf(disc) + f;
        const QString name = QStringLiteral("Folder %1-%2").arg(disc).arg(f + 1);
        folderRows << QStringLiteral("%1, %2, 0, 'Folder', 130000000000000000, %3, 4, 0, 0").arg(id).arg(Quoted(name)).arg(discId);
        pathRows << QStringLiteral("%1, %2").arg(id).arg(Quoted(QLatin1Char('\\') + name));
    }
    Check(engine->InsertPathRows(handle, W(Rows(pathRows)), 1), "paths");
    Check(engine->InsertFolderRows(handle, W(Rows(folderRows)), 1), "folders");
}

int FolderOfFile(int disc, int index)
{
    if (disc < kDiscs) return FirstFolderOf(disc) + index / (kFilesPerDisc / kFoldersPerDisc);
    return FirstFolderOf(disc) + (index < kFilesPerDisc - kSmallFolderFiles ? 0 : 1);
}

void AddDisc(Engine& engine, NameSource& names, QFile& nameFile, int disc)
{
    const QByteArray identity = QByteArray("BROWSE") + QByteArray::number(disc);
    Check(engine->AddDisc(identity.constData(), u"", u"", u"", W(QStringLiteral("Disc %1").arg(disc)), u"", 0, 2, 0, 0,
                          0, 0, u"05/04/2023 10:20:30"),
          "AddDisc");
    LONG discId = 0, label = 0;
    engine->GetLastAddedDisc(&discId, &label);
    LibraryImportHandle handle = nullptr;
    Check(engine->OpenImportHandle(&handle), "OpenImportHandle");
    AddFolders(engine, handle, disc, discId, disc < kDiscs ? kFoldersPerDisc : kFoldersOfLastDisc);
    std::vector<FileRow> batch;
    QByteArray lines;
    for (int index = 0; index < kFilesPerDisc;) {
        batch.clear();
        lines.clear();
        for (; index < kFilesPerDisc && batch.size() < kBatchRows; ++index) {
            FileRow row = names.Next((disc - 1) * kFilesPerDisc + index + 1);
            row.folder = row.path = FolderOfFile(disc, index);
            lines += row.name.toUtf8() + '\n';
            batch.push_back(std::move(row));
        }
        Check(engine->InsertFileRows(handle, W(BatchText(batch, discId, label)), 1), "InsertFileRows");
        nameFile.write(lines);
    }
    Check(engine->CloseImportHandle(handle), "CloseImportHandle");
}

} // namespace

int LargeFolderId() { return FirstFolderOf(kDiscs); }
int SmallFolderId() { return FirstFolderOf(kDiscs) + 1; }

Paths Ensure(const QString& folder)
{
    QDir().mkpath(folder);
    const Paths paths{QDir(folder).filePath(QStringLiteral("browse.db")), QDir(folder).filePath(QStringLiteral("names.txt"))};
    const QString done = QDir(folder).filePath(QStringLiteral("complete"));
    if (QFileInfo::exists(done)) return paths;
    QFile::remove(paths.database);
    QFile::remove(paths.names);
    Engine engine(paths.database);
    if (!engine.IsReady()) std::exit(1);
    QFile nameFile(paths.names);
    if (!nameFile.open(QIODevice::WriteOnly)) std::exit(1);
    NameSource names;
    const auto start = std::chrono::steady_clock::now();
    for (int disc = 1; disc <= kDiscs; ++disc) {
        AddDisc(engine, names, nameFile, disc);
        if (disc % 10 == 0)
            std::fprintf(stderr, "  %d discs in %.0f s\n", disc, Seconds(std::chrono::steady_clock::now() - start));
    }
    nameFile.close();
    QFile(done).open(QIODevice::WriteOnly);
    return paths;
}

} // namespace BrowseLibrary
