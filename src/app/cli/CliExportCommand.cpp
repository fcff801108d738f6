#include "CliExportCommand.h"

#include "CatalogueExport.h"
#include "CliContext.h"
#include "CliOptions.h"

#include <QFile>
#include <sys/stat.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The discs to export: those named, in the order named, else every disc.
bool ChosenDiscs(CliContext& context, const QStringList& names, std::vector<DiscRecord>* chosen)
{
    LibraryReader reader(context.Library());
    const std::vector<DiscRecord> discs = reader.Discs();
    if (FAILED(reader.Failure())) {
        context.LibraryFailure(reader.Failure());
        return false;
    }
    if (names.isEmpty()) {
        *chosen = discs;
        return true;
    }
    for (const QString& name : names) {
        const int discId = context.FindDisc(name);
        if (discId <= 0) return false;
        for (const DiscRecord& disc : discs)
            if (disc.discId == discId) chosen->push_back(disc);
    }
    return true;
}

// Writes the document; false when the output failed or ended.
bool Write(CatalogueExport& document, const LibraryReader& reader, const std::vector<DiscRecord>& discs)
{
    if (!document.Begin()) return false;
    for (const DiscRecord& disc : discs) {
        const QString name = LibraryReader::Text(disc.name);
        if (!document.BeginDisc(disc, LibraryReader::Text(disc.tagNames))) return false;
        const bool listed = reader.ListFolder(disc.discId, 0, QString(), true, [&](const LibraryReader::Entry& entry) {
            return document.Entry(name, entry);
        });
        if (!listed || !document.EndDisc()) return false;
    }
    return document.End();
}

// Whether the path names something that is there and is not a regular
// file: a device (/dev/null, a terminal), a pipe, or a link to one.
bool IsSpecialFile(const QString& path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode);
}

// A file written beside its final place and put there once complete, so
// that a failed export leaves an earlier file of that name as it was. A
// device or a pipe is written as it is: a file put in its place would
// replace it.
class OutputFile {
public:
    explicit OutputFile(const QString& path)
        : m_path(path), m_partPath(IsSpecialFile(path) ? QString() : path + QStringLiteral(".part"))
    {
        m_pFile = std::fopen(QFile::encodeName(m_partPath.isEmpty() ? m_path : m_partPath).constData(), "wb");
    }
    ~OutputFile()
    {
        if (m_pFile) std::fclose(m_pFile);
        if (!m_bKept && !m_partPath.isEmpty()) QFile::remove(m_partPath);
    }
    FILE* Stream() const { return m_pFile; }
    bool Keep()
    {
        const bool closed = std::fclose(m_pFile) == 0;
        m_pFile = nullptr;
        m_bKept = closed && (m_partPath.isEmpty() || std::rename(QFile::encodeName(m_partPath).constData(),
                                                                 QFile::encodeName(m_path).constData()) == 0);
        return m_bKept;
    }

private:
    QString m_path, m_partPath;
    FILE* m_pFile = nullptr;
    bool m_bKept = false;
};

} // namespace

namespace CliExportCommand {

int Export(CliContext& context, const QStringList& arguments)
{
    CliOptions options(arguments, {}, {"--format", "--output"});
    CatalogueExport::Format format = CatalogueExport::Format::Csv;
    if (options.Has("--format") && !CatalogueExport::FormatOf(options.Value("--format"), &format))
        options.SetError("--format is csv, json or html");
    if (options.Has("--output") && options.Value("--output").isEmpty()) options.SetError("--output needs a file name");
    if (!options.Error().isEmpty()) return CliContext::UsageError("export", options.Error());
    if (!context.Library()) return CliContext::Failure;
    std::vector<DiscRecord> discs;
    if (!ChosenDiscs(context, options.Positional(), &discs)) return CliContext::Failure;
    LibraryReader reader(context.Library());

    if (!options.Has("--output")) {
        CatalogueExport document(context.Output(), format);
        Write(document, reader, discs);
        return FAILED(reader.Failure()) ? context.LibraryFailure(reader.Failure()) : CliContext::Success;
    }
    const QString path = options.Value("--output");
    OutputFile file(path);
    if (!file.Stream()) return CliContext::Fail(QStringLiteral("%1 cannot be written: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    CliOutput output(false, file.Stream());
    CatalogueExport document(output, format);
    const bool written = Write(document, reader, discs);
    if (FAILED(reader.Failure())) return context.LibraryFailure(reader.Failure());
    if (!written || !output.Flush() || !file.Keep())
        return CliContext::Fail(QStringLiteral("%1 cannot be written: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    return CliContext::Success;
}

} // namespace CliExportCommand
