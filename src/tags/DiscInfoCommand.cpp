#include "DiscInfoCommand.h"

#include "CDiscInfoDlg.h"
#include "DiscLabelFiles.h"
#include "DiscNameEdit.h"

#include <QDir>
#include <QFile>

namespace {

DiscLabelPaths LabelPathsOf(const DiscInfoOutcome& outcome)
{
    return {outcome.label32Path, outcome.label128Path, outcome.label360Path};
}

} // namespace

bool DiscInfoOutcome::HasNewLabel() const
{
    return !label32Path.isEmpty() && !label128Path.isEmpty() && !label360Path.isEmpty();
}

void DiscInfoOutcome::RemoveLabelFiles() const
{
    LabelPathsOf(*this).Remove();
    if (!tempFolder.isEmpty()) QDir().rmdir(tempFolder);
}

namespace DiscInfoCommand {

DiscInfoOutcome Run(QWidget* parent, ILibraryEngine* engine, const DiscInfoInput& disc)
{
    CDiscInfoDlg dialog(disc.name, disc.typeText, disc.sizeText, disc.dateText, disc.labelId, disc.tagIds,
                        disc.alternateRowLabel, disc.newDiscForm ? 1 : 0, engine, parent);
    DiscInfoOutcome outcome;
    outcome.accepted = dialog.DoModal() == IDOK;
    // A name left blank keeps the one the disc had (the dialog refuses it).
    outcome.name = outcome.accepted && !dialog.Name().isEmpty() ? dialog.Name() : disc.name;
    outcome.renamed = outcome.name != disc.name;
    outcome.tagIds = dialog.TagIds();
    outcome.label32Path = dialog.SmallLabelPath();
    outcome.label128Path = dialog.MediumLabelPath();
    outcome.label360Path = dialog.LargeLabelPath();
    outcome.tempFolder = dialog.TempFolder();
    outcome.tagsAdded = dialog.TagsAdded();
    outcome.tagsDeleted = dialog.TagsDeleted();
    return outcome;
}

HRESULT Store(ILibraryEngine* engine, LONG discId, LONG oldLabelId, const DiscInfoOutcome& outcome)
{
    HRESULT hr = engine ? S_OK : E_POINTER;
    if (SUCCEEDED(hr) && outcome.renamed) hr = DiscNameEdit::Set(engine, discId, outcome.name);
    if (SUCCEEDED(hr)) hr = engine->SetDiscTags(discId, reinterpret_cast<const char16_t*>(outcome.tagIds.utf16()));
    if (SUCCEEDED(hr) && outcome.HasNewLabel()) hr = DiscLabelFiles::Store(engine, discId, oldLabelId, LabelPathsOf(outcome));
    outcome.RemoveLabelFiles();
    return hr;
}

} // namespace DiscInfoCommand
