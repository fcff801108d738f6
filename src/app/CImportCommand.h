// CImportCommand: the import of one disc into the library, as the window
// runs it on its own thread: choose the drive, wait for the disc, read it,
// refuse or offer to replace a disc that is catalogued already, take the
// disc's details, create its record and start the scan. The scan then runs
// on its worker; the main frame shows its progress and its end (through
// the scan callback). The selected drive is locked while the disc is read
// and unlocked on every way out.
//
// Three ways in: Run() is the import command (from choosing the drive);
// ImportImage() takes a disc image the desktop handed the program, puts it
// into an image drive and imports from there; RunOnSelectedDrive() starts
// with the drive already chosen.
#pragma once
#include "DiscInfoCommand.h"
#include "NewDiscRecord.h"

#include <QString>

class CDiscAccess;
class CMainFrame;
struct DiscReadout;
struct DiscRecord;

class CImportCommand {
public:
    CImportCommand(CMainFrame& frame, CDiscAccess* discs) : m_frame(frame), m_pDiscs(discs) {}

    void Run();
    void RunOnSelectedDrive();
    // A path that names no disc image the engine takes gives a message. While
    // a scan runs, the image waits for its end (see ScanEnded).
    void ImportImage(const QString& path);
    // The main frame's word that the running scan ended, with its result:
    // 1 catalogued (the list shows the disc, the user is told, with what
    // could not be read), 0 failed (the user is told why), else cancelled.
    // An image that waited is imported then.
    void ScanEnded(int result);
    // The library imports go into (null when it is not open).
    ILibraryEngine* Library() const;

private:
    void ImportFromSelectedDrive();
    void EndWorkflow();
    void TakeWaitingImage();
    // What the check against the library decided.
    enum class Catalogued { New, Replace, End };

    bool AwaitDisc();
    bool ReadDisc(DiscReadout& disc);
    Catalogued CheckCatalogued(const DiscReadout& disc, DiscRecord& existing);
    bool AskDetails(const DiscReadout& disc, NewDiscRecord::Details& details);
    void StartScan(const DiscReadout& disc, const NewDiscRecord::Details& details, LONG replacedDiscId);
    void ReportFailedStart();
    void ReportCatalogued();
    void ReportFailure();
    // The message of a scan that ended well: "added", or "replaced" when it
    // catalogued a disc again.
    UINT DoneMessageId() const;
    bool CanReplace() const;

    CMainFrame& m_frame;
    CDiscAccess* m_pDiscs;
    bool m_bActive = false;   // the workflow's dialogs are open
    bool m_bScanning = false; // a scan it started has not ended yet
    bool m_bReplacing = false; // that scan catalogues a disc again
    QString m_strWaitingImage;
    DiscInfoOutcome m_labelFiles; // label pictures taken, removed once the record has them
};
