#include "DiscInfoCommand.h"

#include "CDiscInfoDlg.h"
#include "DiscLabelFiles.h"

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
    HRESULT hr = engine ? engine->SetDiscTags(discId, reinterpret_cast<const char16_t*>(outcome.tagIds.utf16())) : E_POINTER;
    if (SUCCEEDED(hr) && outcome.HasNewLabel()) hr = DiscLabelFiles::Store(engine, discId, oldLabelId, LabelPathsOf(outcome));
    outcome.RemoveLabelFiles();
    return hr;
}

} // namespace DiscInfoCommand
