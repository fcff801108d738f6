#include "CliCopyCommand.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "CliRecord.h"
#include "LibraryCopy.h"
#include "LibraryLocation.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <memory>

namespace {

constexpr char kLibraryVariable[] = "ALBIREO_LIBRARY_DB";

// A library opened at `place`: the engine is chosen and the place read from
// the library variable when the library is first used, so the variable
// names the place just for that moment.
std::unique_ptr<CliContext> OpenAt(const QString& place)
{
    const QByteArray before = qgetenv(kLibraryVariable);
    qputenv(kLibraryVariable, place.toUtf8());
    auto context = std::make_unique<CliContext>();
    const bool opened = context->Library() != nullptr;
    qputenv(kLibraryVariable, before);
    if (before.isNull()) qunsetenv(kLibraryVariable);
    return opened ? std::move(context) : nullptr;
}

bool SamePlace(const QString& a, const QString& b)
{
    if (LibraryLocation::IsServerAddress(a) || LibraryLocation::IsServerAddress(b)) return a == b;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

void ReportProgress(int number, int total, const QString& name)
{
    std::fprintf(stderr, "albireo-cli: copying disc %d of %d: %s\n", number, total, qPrintable(name));
}

} // namespace

namespace CliCopyCommand {

int CopyLibrary(CliContext& context, const QStringList& arguments)
{
    CliOptions options(arguments, {}, {});
    if (options.Positional().size() != 2) options.SetError("needs the library to copy and the library to copy it into");
    else if (SamePlace(options.Positional()[0], options.Positional()[1])) options.SetError("both name the same library");
    if (!options.Error().isEmpty()) return CliContext::UsageError("copy-library", options.Error());
    const QString from = options.Positional()[0];
    const QString to = options.Positional()[1];
    if (!LibraryLocation::IsServerAddress(from) && !QFileInfo(from).isFile())
        return CliContext::Fail(QStringLiteral("there is no library file %1").arg(from));
    const std::unique_ptr<CliContext> source = OpenAt(from);
    if (!source) return CliContext::Failure;
    const std::unique_ptr<CliContext> destination = OpenAt(to);
    if (!destination) return CliContext::Failure;
    LibraryCopy copy(source->Library(), destination->Library(), ReportProgress);
    if (FAILED(copy.Run())) return CliContext::Fail(QStringLiteral("nothing was copied: ") + copy.Error());
    const LibraryCopy::Counts& copied = copy.Copied();
    for (const auto& [kind, count] : {std::pair{"discs", qint64(copied.discs)}, std::pair{"folders", qint64(copied.folders)},
                                      std::pair{"files", qint64(copied.files)}})
        context.Output().Write(CliRecord().Text("kind", QString::fromLatin1(kind)).Number("count", count));
    return CliContext::Success;
}

} // namespace CliCopyCommand
