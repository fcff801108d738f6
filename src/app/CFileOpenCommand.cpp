#include "CFileOpenCommand.h"

#include "CDiscAccess.h"
#include "CFlwMessageBox.h"
#include "CProgressDlg.h"
#include "ConfinedFile.h"
#include "CWaitingDiscDlg.h"
#include "DiscFileExtractor.h"
#include "ImageDriveSlots.h"
#include "LibraryReader.h"
#include "MountTable.h"
#include "PrivateTempFolder.h"
#include "ResourceIds.h"
#include "StringResources.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <memory>
#include <sys/stat.h>
#include <thread>

namespace {

constexpr int kLabelSide = 360;

QString DevicePathOf(CDiscAccess& discs, int position)
{
    ComPtr<ITrellisDevice> device;
    ComPtr<ITrellisDevicePath> node;
    WCHAR path[512] = {};
    if (FAILED(discs.Engine()->GetDrive(discs.EngineIndexAt(position), device.Put())) || !device ||
        FAILED(device->QueryInterface(IID_ITrellisDevicePath, node.PutVoid())) || !node ||
        FAILED(node->GetDevicePath(path, 512)))
        return QString();
    return QString::fromUtf16(path);
}

QString RootOf(CDiscAccess& discs, int position)
{
    char letter = '?';
    if (SUCCEEDED(discs.SelectDrive(position))) discs.GetDriveLetter(&letter);
    return QString::asprintf("%c:\\", letter);
}

// A folder of its own under the private temporary folder for each file
// opened, so that two files of one name from different discs never meet;
// empty when there is no private folder.
QString ExtractionFolder()
{
    static int opened = 0;
    const QString parent = PrivateTempFolder::Path();
    if (parent.isEmpty()) return {};
    const QString folder = parent + QStringLiteral("open-%1").arg(++opened);
    mkdir(QFile::encodeName(folder).constData(), S_IRWXU);
    return folder;
}

} // namespace

void CFileOpenCommand::Open(int discId, const QString& folderPath, const QString& name)
{
    if (!m_pDiscs || !m_pLibrary || !m_pDiscs->Engine()) return;
    char identity[MAX_PATH] = {};
    if (FAILED(m_pLibrary->GetDiscIdentity(discId, identity))) return;
    const QString pathOnDisc = folderPath + u'\\' + name;
    for (;;) {
        int emptyDrive = -1;
        const int position = FindDisc(QByteArray(identity), &emptyDrive);
        if (position >= 0) return OpenFromDrive(position, pathOnDisc);
        if (!AskForDisc(discId, emptyDrive >= 0 ? emptyDrive : 0)) return;
    }
}

int CFileOpenCommand::FindDisc(const QByteArray& identity, int* emptyDrive) const
{
    *emptyDrive = -1;
    for (int position = 0; position < m_pDiscs->GetDriveCount(); ++position) {
        const int index = m_pDiscs->EngineIndexAt(position);
        if (FAILED(m_pDiscs->CheckDriveReady(index))) {
            if (*emptyDrive < 0) *emptyDrive = position;
            continue;
        }
        char inserted[33] = {};
        if (SUCCEEDED(m_pDiscs->GetDriveIdentity(inserted, index)) && identity == QByteArray(inserted))
            return position;
    }
    return -1;
}

bool CFileOpenCommand::AskForDisc(int discId, int position)
{
    QImage label;
    DiscRecord disc{};
    QImage* picture = nullptr;
    if (LibraryReader(m_pLibrary).DiscById(discId, &disc) &&
        SUCCEEDED(m_pLibrary->GetLabelImage(disc.labelId, &picture)) && picture)
        label = picture->scaled(kLabelSide, kLabelSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    delete picture;
    const QString root = RootOf(*m_pDiscs, position);
    CWaitingDiscDlg waiting(*m_pDiscs, FormatString(IDS_FMT_INSERT_DISC, {root}), label, m_pOwner);
    return waiting.DoModal() == IDOK;
}

void CFileOpenCommand::OpenFromDrive(int position, const QString& pathOnDisc)
{
    if (ImageDriveSlots(*m_pDiscs).IsImageDrive(position))
        OpenFromImage(position, pathOnDisc);
    else
        OpenFromMountPoint(position, pathOnDisc);
}

void CFileOpenCommand::OpenFromMountPoint(int position, const QString& pathOnDisc)
{
    const QString mountPoint = MountTable::MountPointOf(DevicePathOf(*m_pDiscs, position));
    if (mountPoint.isEmpty()) return Tell(FormatString(IDS_FMT_DISC_NOT_MOUNTED, {RootOf(*m_pDiscs, position)}));
    QString refusal;
    const QString file = ConfinedFile::PathBelow(mountPoint, pathOnDisc, &refusal);
    if (file.isEmpty()) return Tell(refusal);
    if (!QFileInfo(file).isFile()) return Tell(FormatString(IDS_FMT_FILE_NOT_ON_DISC, {pathOnDisc}));
    HandOver(file);
}

void CFileOpenCommand::OpenFromImage(int position, const QString& pathOnDisc)
{
    QString refusal;
    const QString folder = ExtractionFolder();
    ConfinedFile target(folder, pathOnDisc.section(u'\\', -1), &refusal);
    const HRESULT hr = target.IsOpen() ? ReadOut(position, pathOnDisc, target) : E_ACCESSDENIED;
    // Nothing of a refused or failed open stays behind.
    if (FAILED(hr)) QDir().rmdir(folder);
    if (!refusal.isEmpty()) return Tell(refusal);
    if (hr == E_ABORT) return;
    if (hr == TRELLIS_E_PATH_NOT_FOUND) return Tell(FormatString(IDS_FMT_FILE_NOT_ON_DISC, {pathOnDisc}));
    if (FAILED(hr)) return Tell(LoadString(IDS_MSG_FILE_NOT_READ));
    HandOver(target.Path());
}

HRESULT CFileOpenCommand::ReadOut(int position, const QString& pathOnDisc, ConfinedFile& target)
{
    const DiscFileExtractor extractor(m_pDiscs->Engine(), m_pDiscs->EngineIndexAt(position));
    std::atomic<bool> cancel{false}, done{false};
    std::atomic<int> percent{0};
    HRESULT hr = E_FAIL;
    std::thread reader([&] {
        hr = extractor.Extract(pathOnDisc, target, cancel, percent);
        done = true;
    });
    // A large file, or a disc whose file system takes a while to parse, is
    // read under the progress window, which can cancel it; a small file of
    // a small disc is read before anyone could click.
    std::unique_ptr<CProgressDlg> progress;
    QElapsedTimer waited;
    waited.start();
    while (!done.load()) {
        if (!progress && (extractor.FileSize() > UINT64(kProgressBytes) || waited.elapsed() > kQuietMs)) {
            progress = std::make_unique<CProgressDlg>(m_pOwner);
            progress->Create(LoadString(IDS_PROGRESS_TITLE), m_pOwner);
            progress->SetRange(0, 100);
            progress->SetTitle(FormatString(IDS_FMT_READING_FILE, {pathOnDisc.section(u'\\', -1)}));
            progress->setWindowModality(Qt::ApplicationModal);
            progress->CenterWindow();
            progress->show();
        }
        if (progress) {
            progress->SetPos(percent.load());
            if (progress->IsCancelled()) cancel = true;
        }
        QCoreApplication::processEvents(progress ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(5);
    }
    reader.join();
    return hr;
}

void CFileOpenCommand::HandOver(const QString& file)
{
    if (!m_opener || !m_opener(QUrl::fromLocalFile(file)))
        Tell(FormatString(IDS_FMT_FILE_NOT_OPENED, {QDir::toNativeSeparators(file)}));
}

void CFileOpenCommand::Tell(const QString& text) const
{
    CFlwMessageBox::showMessage(text, MB_ICONEXCLAMATION, CFlwMessageBox::kCaptionId, m_pOwner);
}
