#include "CliDiscCommands.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "LabelModule.h"
#include "PrivateTempFolder.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "ComPtr.h"
#include "ILibraryDiscEdits.h"
#include "DiscTagList.h"
#include "LibraryReader.h"
#include "TagRecords.h"
#include "TagText.h"

#include <QDir>
#include <QTextStream>
#include <cstdio>

namespace {

const char16_t* Utf16(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

QStringList TagList(const QString& value)
{
    QStringList names;
    for (const QString& name : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!name.trimmed().isEmpty()) names << name.trimmed();
    return names;
}

ComPtr<ILibraryDiscEdits> DiscEdits(ILibraryEngine* library)
{
    ComPtr<ILibraryDiscEdits> edits;
    if (FAILED(library->QueryInterface(IID_ILibraryDiscEdits, edits.PutVoid()))) edits.Reset();
    return edits;
}

// The names of the visible tags with these ids, in the engine's order.
QStringList NamesOf(const std::vector<TagRecord>& tags, const QList<int>& ids)
{
    QStringList names;
    for (const TagRecord& tag : tags)
        if (ids.contains(tag.id)) names << TagRecords::Name(tag);
    return names;
}

// The ids a --remove leaves: each name must be one of the disc's tags.
bool WithoutTags(const std::vector<TagRecord>& tags, QList<int> ids, const QStringList& removed, QList<int>* left,
                 QString* error)
{
    for (const QString& name : removed) {
        int found = 0;
        for (const TagRecord& tag : tags)
            if (TagRecords::Name(tag).compare(name, Qt::CaseInsensitive) == 0 && ids.contains(tag.id)) found = tag.id;
        if (!found) {
            *error = QStringLiteral("the disc has no tag \"%1\"").arg(name);
            return false;
        }
        ids.removeAll(found);
    }
    *left = ids;
    return true;
}

// Asks on standard input unless --yes was given; true for "y" or "yes".
bool Confirmed(const QString& question)
{
    std::fprintf(stderr, "%s [y/N] ", qPrintable(question));
    std::fflush(stderr);
    QTextStream input(stdin);
    const QString answer = input.readLine().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

// The exit code of `label` for what became of the picture file, with the
// reason on standard error when it gave no label.
int LabelCommandResult(CliContext& context, const QString& path, const PictureFileLabel& outcome)
{
    switch (outcome.problem) {
    case PictureFileLabel::Problem::None: return FAILED(outcome.hr) ? context.ChangeFailure(outcome.hr) : CliContext::Success;
    case PictureFileLabel::Problem::TooLarge:
        return CliContext::Fail(QString::asprintf(qPrintable(LoadString(IDS_FMT_PICTURE_TOO_LARGE)), outcome.width,
                                                  outcome.height, outcome.maxSide));
    case PictureFileLabel::Problem::Unreadable:
        return CliContext::Fail(path + QStringLiteral(": ") + LoadString(IDS_MSG_PICTURE_UNREADABLE));
    case PictureFileLabel::Problem::NotSaved: return CliContext::Fail(LoadString(IDS_MSG_LABEL_NOT_SAVED));
    case PictureFileLabel::Problem::ModuleMissing:
        return CliContext::Fail(QStringLiteral("label pictures cannot be handled: %1 is missing")
                                    .arg(QString::fromLatin1(LabelModule::kModule)));
    }
    return CliContext::Failure;
}

} // namespace

namespace CliDiscCommands {

int Rename(CliContext& context, const QStringList& arguments)
{
    CliOptions options(arguments, {}, {});
    if (options.Positional().size() != 2) options.SetError("needs a disc and its new name");
    else if (options.Positional()[1].trimmed().isEmpty()) options.SetError("the new name is empty");
    else if (options.Positional()[1].size() >= kLibraryTextLength) options.SetError("the new name is longer than 259 characters");
    if (!options.Error().isEmpty()) return CliContext::UsageError("rename", options.Error());
    const int discId = context.FindDisc(options.Positional()[0]);
    if (discId <= 0) return CliContext::Failure;
    const ComPtr<ILibraryDiscEdits> edits = DiscEdits(context.Library());
    if (!edits) return CliContext::Fail(QStringLiteral("this library cannot rename discs"));
    const HRESULT hr = edits->SetDiscName(discId, Utf16(options.Positional()[1]));
    return FAILED(hr) ? context.ChangeFailure(hr) : CliContext::Success;
}

int Tags(CliContext& context, const QStringList& arguments)
{
    CliOptions options(arguments, {}, {"--set", "--add", "--remove"});
    const int changes = int(options.Has("--set")) + int(options.Has("--add")) + int(options.Has("--remove"));
    if (options.Positional().size() != 1) options.SetError("needs one disc");
    if (changes > 1) options.SetError("takes one of --set, --add and --remove");
    if (!options.Error().isEmpty()) return CliContext::UsageError("tags", options.Error());
    const int discId = context.FindDisc(options.Positional()[0]);
    if (discId <= 0) return CliContext::Failure;
    ILibraryEngine* library = context.Library();
    DiscRecord disc{};
    std::vector<TagRecord> tags;
    HRESULT hr = TagRecords::Read(library, &tags);
    LibraryReader reader(library);
    if (SUCCEEDED(hr) && !reader.DiscById(discId, &disc)) hr = FAILED(reader.Failure()) ? reader.Failure() : E_FAIL;
    if (FAILED(hr)) return context.LibraryFailure(hr);
    // The whole id list: the record holds only its first characters.
    const DiscTagList::Ids stored = DiscTagList::Read(library, disc);
    const QList<int> current = TagText::SplitIds(stored.text);
    if (changes == 0) {
        for (const QString& name : NamesOf(tags, current))
            if (!context.Output().Write(CliRecord().Text("tag", name))) break;
        return CliContext::Success;
    }
    if (!stored.whole) return CliContext::Fail(QStringLiteral("the disc's tag list could not be read whole; it is left unchanged"));
    QString ids;
    if (options.Has("--remove")) {
        QList<int> left;
        QString error;
        if (!WithoutTags(tags, current, TagList(options.Value("--remove")), &left, &error)) return CliContext::Fail(error);
        ids = TagText::JoinIds(left);
    } else {
        // Tags that do not exist yet are created, as the import's --tags does.
        QStringList names = TagList(options.Value(options.Has("--set") ? "--set" : "--add"));
        if (options.Has("--add")) names = NamesOf(tags, current) + names;
        hr = TagText::IdsForNames(library, names, &ids);
    }
    if (SUCCEEDED(hr)) hr = library->SetDiscTags(discId, Utf16(ids));
    return FAILED(hr) ? context.ChangeFailure(hr) : CliContext::Success;
}

int Delete(CliContext& context, const QStringList& arguments)
{
    CliOptions options(arguments, {"--yes"}, {});
    if (options.Positional().size() != 1) options.SetError("needs one disc");
    if (!options.Error().isEmpty()) return CliContext::UsageError("delete", options.Error());
    const int discId = context.FindDisc(options.Positional()[0]);
    if (discId <= 0) return CliContext::Failure;
    ILibraryEngine* library = context.Library();
    DiscRecord disc{};
    LibraryReader reader(library);
    if (!reader.DiscById(discId, &disc)) return context.LibraryFailure(FAILED(reader.Failure()) ? reader.Failure() : E_FAIL);
    const QString name = LibraryReader::Text(disc.name);
    LONG importing = 0;
    if (const ComPtr<ILibraryDiscEdits> edits = DiscEdits(library)) {
        const HRESULT hr = edits->GetDiscImporting(discId, &importing);
        if (FAILED(hr)) return context.LibraryFailure(hr);
    }
    if (importing)
        return CliContext::Fail(QStringLiteral("disc \"%1\" (#%2) is being imported; delete it once the import has ended")
                                    .arg(name, QString::number(discId)));
    if (!options.Has("--yes") &&
        !Confirmed(QStringLiteral("Delete disc \"%1\" (#%2) with its %3 folders and %4 files from the library?")
                       .arg(name, QString::number(discId), QString::number(disc.folderCount),
                            QString::number(disc.fileCount))))
        return CliContext::Fail(QStringLiteral("nothing was deleted"));
    const HRESULT hr = library->DeleteDisc(discId, 0);
    return FAILED(hr) ? context.ChangeFailure(hr) : CliContext::Success;
}

int Label(CliContext& context, const QStringList& arguments)
{
    CliOptions options(arguments, {}, {});
    if (options.Positional().size() != 2) options.SetError("needs a disc and a picture file");
    if (!options.Error().isEmpty()) return CliContext::UsageError("label", options.Error());
    const int discId = context.FindDisc(options.Positional()[0]);
    if (discId <= 0) return CliContext::Failure;
    DiscRecord disc{};
    LibraryReader reader(context.Library());
    if (!reader.DiscById(discId, &disc)) return context.LibraryFailure(FAILED(reader.Failure()) ? reader.Failure() : E_FAIL);
    const QString folder = PrivateTempFolder::Path();
    const PictureFileLabel outcome = LabelModule::StorePictureFile(context.Library(), discId, disc.labelId,
                                                                   options.Positional()[1], folder);
    QDir().rmdir(folder);
    return LabelCommandResult(context, options.Positional()[1], outcome);
}

} // namespace CliDiscCommands
