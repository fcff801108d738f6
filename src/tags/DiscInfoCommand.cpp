#include "DiscInfoCommand.h"

#include "CDiscInfoDlg.h"
#include "DiscCategory.h"

#include <QDir>
#include <QFile>

namespace {

const char16_t* W(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

HRESULT StoreLabel(ILibraryEngine* engine, LONG discId, LONG oldLabelId, const DiscInfoOutcome& outcome)
{
    HRESULT hr = engine->AddLabel(W(outcome.label32Path), W(outcome.label128Path), W(outcome.label360Path));
    LONG newLabelId = 0;
    if (SUCCEEDED(hr)) hr = engine->GetLastLabelId(&newLabelId);
    if (SUCCEEDED(hr)) hr = engine->SetDiscLabelId(discId, newLabelId);
    if (SUCCEEDED(hr)) hr = engine->SetFolderLabelId(discId, newLabelId);
    if (SUCCEEDED(hr)) hr = engine->SetFileLabelId(discId, newLabelId);
    if (SUCCEEDED(hr) && oldLabelId > kLastDefaultLabelId && oldLabelId != newLabelId)
        hr = engine->DeleteLabel(oldLabelId, 0);
    return hr;
}

} // namespace

bool DiscInfoOutcome::HasNewLabel() const
{
    return !label32Path.isEmpty() && !label128Path.isEmpty() && !label360Path.isEmpty();
}

void DiscInfoOutcome::RemoveLabelFiles() const
{
    for (const QString& path : {label32Path, label128Path, label360Path})
        if (!path.isEmpty()) QFile::remove(path);
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
    HRESULT hr = engine ? engine->SetDiscTags(discId, W(outcome.tagIds)) : E_POINTER;
    if (SUCCEEDED(hr) && outcome.HasNewLabel()) hr = StoreLabel(engine, discId, oldLabelId, outcome);
    outcome.RemoveLabelFiles();
    return hr;
}

} // namespace DiscInfoCommand
