#include "CImportCommand.h"

#include "CDiscAccess.h"
#include "CDriveSelectDlg.h"
#include "CFileListView.h"
#include "CFlwMessageBox.h"
#include "CLoadingDiscDlg.h"
#include "CMainFrame.h"
#include "CWaitingDiscDlg.h"
#include "DiscInfoCommand.h"
#include "DiscReadout.h"
#include "DiscTypeMapping.h"
#include "DiscTagList.h"
#include "ILibraryDiscReads.h"
#include "ImageDriveSlots.h"
#include "LibraryReader.h"
#include "LibraryStatusText.h"
#include "ListTexts.h"
#include "ResourceIds.h"
#include "StringResources.h"

#include <QGuiApplication>
#include <QTimer>

namespace {

// The media class the library will give the disc, for the details dialog
// (the format stays unknown until the record exists).
// The type text the disc's row will show once catalogued: the library
// classifies the same answers of the drive the same way.
QString TypeTextOf(const DiscReadout& disc)
{
    DiscProperties properties;
    properties.identity = QByteArray(disc.identity);
    properties.audioFlag = disc.audio;
    properties.discClass = disc.discClass;
    properties.folderCount = disc.folders;
    properties.fileCount = disc.files;
    properties.usedBytes = disc.used;
    properties.capacityBytes = disc.capacity;
    const DiscTypeCodes codes = DiscTypeMapping::Classify(properties);
    return ListTexts::DiscTypeText(codes.mediaClass, codes.formatCode);
}

int Message(UINT textId, UINT style, QWidget* parent)
{
    return CFlwMessageBox::showMessage(textId, style, CFlwMessageBox::kCaptionId, parent);
}

// Unlocks the selected drive however the import ends after locking it.
struct MediaLock {
    explicit MediaLock(CDiscAccess& discs) : discs(discs) { discs.LockMedia(1); }
    ~MediaLock() { discs.LockMedia(0); }
    MediaLock(const MediaLock&) = delete;
    MediaLock& operator=(const MediaLock&) = delete;
    CDiscAccess& discs;
};

} // namespace

void CImportCommand::Run()
{
    // One import at a time: its dialogs or its scan may still be running.
    if (!m_pDiscs || !Library() || m_bActive || m_bScanning) return;
    if (m_pDiscs->GetDriveCount() == 0) {
        Message(IDS_MSG_NO_DRIVE, MB_ICONEXCLAMATION, &m_frame);
        return;
    }
    m_bActive = true;
    CDriveSelectDlg select(*m_pDiscs, &m_frame);
    if (select.DoModal() == IDOK) ImportFromSelectedDrive();
    EndWorkflow();
}

void CImportCommand::RunOnSelectedDrive()
{
    if (!m_pDiscs || !Library() || m_bActive || m_bScanning) return;
    m_bActive = true;
    ImportFromSelectedDrive();
    EndWorkflow();
}

void CImportCommand::ImportImage(const QString& path)
{
    if (!m_pDiscs || !Library()) return;
    if (m_bActive || m_pDiscs->IsBusy()) {
        m_strWaitingImage = path; // taken up when this import ends
        return;
    }
    const ImageDriveSlots drives(*m_pDiscs);
    const int position = drives.ChooseFor(path);
    if (position < 0) {
        Message(IDS_MSG_NO_IMAGE_DRIVE, MB_ICONEXCLAMATION, &m_frame);
        return;
    }
    QString reason;
    if (FAILED(drives.Insert(position, path, &reason))) {
        CFlwMessageBox::showMessage(ImageDriveSlots::RefusalMessage(path, reason), MB_ICONEXCLAMATION,
                                    CFlwMessageBox::kCaptionId, &m_frame);
        return;
    }
    m_pDiscs->SelectDrive(position);
    RunOnSelectedDrive();
}

void CImportCommand::ScanEnded(int result)
{
    if (result == 1) ReportCatalogued();
    else if (result == 0) ReportFailure();
    m_bScanning = false;
    TakeWaitingImage();
}

void CImportCommand::ReportCatalogued()
{
    SendMessage(m_frame.FileListView(), CFileListView::kReloadMessage, 1, 0);
    m_frame.RefreshTags(); // the new disc may carry tags the pane has not counted
    // A read that missed folders or files never ends as a plain success.
    const DiscReadGaps& gaps = m_pDiscs->LastReadGaps();
    if (gaps.IsIncomplete())
        CFlwMessageBox::showMessage(gaps.ImportMessage(), MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, &m_frame);
    else
        Message(DoneMessageId(), MB_ICONINFORMATION, &m_frame);
}

void CImportCommand::ReportFailure()
{
    const QString why = LibraryStatusText::ImportFailureCause(Library());
    if (why.isEmpty()) Message(IDS_MSG_IMPORT_FAILED, MB_ICONEXCLAMATION, &m_frame);
    else CFlwMessageBox::showMessage(why, MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, &m_frame);
}

UINT CImportCommand::DoneMessageId() const { return m_bReplacing ? IDS_MSG_IMPORT_REPLACED : IDS_MSG_IMPORT_DONE; }

void CImportCommand::EndWorkflow()
{
    m_bActive = false;
    if (!m_bScanning) TakeWaitingImage();
}

void CImportCommand::TakeWaitingImage()
{
    if (m_strWaitingImage.isEmpty()) return;
    const QString path = std::exchange(m_strWaitingImage, QString());
    QTimer::singleShot(0, &m_frame, [this, path] { ImportImage(path); });
}

ILibraryEngine* CImportCommand::Library() const
{
    return m_frame.FileListView() ? m_frame.FileListView()->Engine() : nullptr;
}

void CImportCommand::ImportFromSelectedDrive()
{
    if (!AwaitDisc()) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const MediaLock lock(*m_pDiscs);
    DiscReadout disc;
    const bool read = ReadDisc(disc);
    QGuiApplication::restoreOverrideCursor();
    if (!read) return;
    DiscRecord existing{};
    const Catalogued catalogued = CheckCatalogued(disc, existing);
    if (catalogued == Catalogued::End) return;
    NewDiscRecord::Details details;
    if (catalogued == Catalogued::Replace) {
        // Catalogued again: the disc keeps its name, tags and label.
        details.name = LibraryReader::Text(existing.name);
        details.tagIds = DiscTagList::Read(Library(), existing).text;
        details.keptLabelId = existing.labelId;
    } else if (!AskDetails(disc, details)) {
        return;
    }
    StartScan(disc, details, catalogued == Catalogued::Replace ? existing.discId : 0);
}

bool CImportCommand::AwaitDisc()
{
    if (SUCCEEDED(m_pDiscs->CheckDiscReady())) return true;
    char letter = '?';
    m_pDiscs->GetDriveLetter(&letter);
    CWaitingDiscDlg waiting(*m_pDiscs, FormatString(IDS_FMT_INSERT_DISC, {QString::asprintf("%c:\\", letter)}),
                            QImage(), &m_frame);
    waiting.OfferImageFor(m_pDiscs->PositionOfLetter(letter));
    return waiting.DoModal() == IDOK;
}

bool CImportCommand::ReadDisc(DiscReadout& disc)
{
    CLoadingDiscDlg loading(*m_pDiscs, &m_frame);
    if (loading.DoModal() != IDOK) return false;
    disc = loading.Readout();
    return true;
}

CImportCommand::Catalogued CImportCommand::CheckCatalogued(const DiscReadout& disc, DiscRecord& existing)
{
    LONG existingId = 0;
    if (FAILED(Library()->FindDiscByIdentity(disc.identity, &existingId))) return Catalogued::End;
    if (existingId == 0) return Catalogued::New;
    if (!CanReplace() || !LibraryReader(Library()).DiscById(existingId, &existing)) {
        Message(IDS_MSG_DISC_EXISTS, MB_ICONEXCLAMATION, &m_frame);
        return Catalogued::End;
    }
    const QString offer = FormatString(IDS_MSG_DISC_EXISTS_REPLACE, {LibraryReader::Text(existing.name)});
    const int answer = CFlwMessageBox::showMessage(offer, MB_YESNO | MB_ICONQUESTION, CFlwMessageBox::kCaptionId,
                                                   &m_frame);
    return answer == IDYES ? Catalogued::Replace : Catalogued::End;
}

bool CImportCommand::CanReplace() const
{
    ILibraryDiscReads* reads = nullptr;
    if (FAILED(Library()->QueryInterface(IID_ILibraryDiscReads, reinterpret_cast<void**>(&reads))) || !reads)
        return false;
    reads->Release();
    return true;
}

bool CImportCommand::AskDetails(const DiscReadout& disc, NewDiscRecord::Details& details)
{
    DiscInfoInput input;
    input.name = disc.Label();
    input.typeText = TypeTextOf(disc);
    input.sizeText = ListTexts::SizeText(disc.used);
    input.dateText = ListTexts::DiscDateText(disc.DateText());
    input.newDiscForm = true;
    CFileListView* view = m_frame.FileListView();
    const DiscInfoOutcome outcome = DiscInfoCommand::Run(&m_frame, Library(), input);
    if (outcome.tagsDeleted) view->PurgeTagIds();
    if (outcome.tagsAdded || outcome.tagsDeleted) m_frame.RefreshTags();
    if (!outcome.accepted || Message(IDS_MSG_CONFIRM_IMPORT, MB_YESNO | MB_ICONQUESTION, &m_frame) != IDYES) {
        outcome.RemoveLabelFiles();
        return false;
    }
    details.name = outcome.name;
    details.tagIds = outcome.tagIds;
    if (outcome.HasNewLabel()) {
        details.label32Path = outcome.label32Path;
        details.label128Path = outcome.label128Path;
        details.label360Path = outcome.label360Path;
    }
    m_labelFiles = outcome;
    return true;
}

void CImportCommand::StartScan(const DiscReadout& disc, const NewDiscRecord::Details& details, LONG replacedDiscId)
{
    const QString name = details.name;
    CMainFrame::ScanCallbackProc(ScanStarting, reinterpret_cast<intptr_t>(name.utf16()), m_frame.CallbackContext());
    LONG discId = 0, labelId = 0;
    const HRESULT hr = NewDiscRecord::Add(Library(), disc, details, &discId, &labelId);
    // The library keeps copies of the label pictures.
    std::exchange(m_labelFiles, DiscInfoOutcome()).RemoveLabelFiles();
    if (FAILED(hr)) return ReportFailedStart();
    m_pDiscs->SetLibrary(Library());
    m_pDiscs->SetDiscIds(discId, labelId);
    m_pDiscs->SetReplacedDisc(replacedDiscId);
    m_bScanning = true;
    m_bReplacing = replacedDiscId != 0;
    if (m_pDiscs->StartScan(disc.ScanMode())) return;
    m_bScanning = false;
    m_pDiscs->SetReplacedDisc(0);
    Library()->DeleteDisc(discId, 0);
    ReportFailedStart();
}

void CImportCommand::ReportFailedStart()
{
    int failed = 0;
    CMainFrame::ScanCallbackProc(ScanFinished, reinterpret_cast<intptr_t>(&failed), m_frame.CallbackContext());
}
