// CAlbireoApp: start-up and shutdown.
#include "CAlbireoApp.h"

#include "CAboutDlg.h"
#include "CAlbireoDoc.h"
#include "CDiscAccess.h"
#include "CFlwMessageBox.h"
#include "CMainFrame.h"
#include "Diagnostics.h"
#include "InstanceChannel.h"
#include "ModalSeam.h"
#include "ModuleLoader.h"
#include "NamedMutex.h"
#include "PowerNotices.h"
#include "ProcessTable.h"
#include "ProgramPaths.h"
#include "Registry.h"
#include "ResourceModule.h"
#include "SkinFont.h"
#include "StringReg.h"
#include "ResourceIds.h"
#include "StringResources.h"
#include "UiScale.h"
#include "WinControls.h"
#include "WindowActivation.h"
#include "WindowPlacement.h"
#include "IntReg.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>
#include <cmath>

namespace {

const WCHAR* const kKey = u"Software\\Quorvel\\Flintwell13";
const char* const kWarningIcon = "Image\\Dialogs\\MessageBox\\icon_warning.png";
constexpr UINT kStopStyle = MB_ICONHAND;
CAlbireoApp* g_pApp = nullptr;

int ShowMessage(UINT textId, QWidget* parent = nullptr)
{
    return CFlwMessageBox::showMessage(textId, kStopStyle, CFlwMessageBox::kCaptionId, parent,
                                       QString::fromLatin1(kWarningIcon));
}

// The plain box shown when no string table could be loaded: there is no
// text of our own to show, so the words are the program's.
void ShowMissingResourceBox(const QString& path)
{
    QMessageBox box(QMessageBox::Critical, QString(),
                    QStringLiteral("The file [%1] is missing.\r\nPlease reinstall application.").arg(path));
    ModalRecord record;
    record.kind = QStringLiteral("SystemMessageBox");
    record.text = box.text();
    ModalSeam::Run(&box, record);
}

QString ReadCurrentLang(HKEY root)
{
    StringReg value(root, kKey, u"CurrentLang");
    return value.Read() ? value.ToString() : QString();
}

const char16_t* Utf16(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

// The face the program's texts use, named by the string table for the
// language (its own for Japanese), or the dialog face when that face is not
// installed.
QString UiFace(const QString& languageCode)
{
    const bool japanese = languageCode.compare(u"JPN", Qt::CaseInsensitive) == 0;
    const QString face = LoadString(japanese ? IDS_FONT_FACE_JPN : IDS_FONT_FACE);
    return QFontDatabase::hasFamily(face) ? face : SkinFont::ShellDlg().family();
}

} // namespace

const std::vector<CAlbireoApp::SuiteProgram>& CAlbireoApp::SuitePrograms()
{
    static const std::vector<SuiteProgram> programs = {
        {QStringLiteral("{6EA1F4E2-B437-4d6d-B59F-C5858A3C7E11}"), {}},
        {QStringLiteral("{4F0D5A18-1D1B-4e60-BDF9-0F62C79FB3FA}"),
         {QStringLiteral("Flintwell.exe"), QStringLiteral("Flintwell8.exe"), QStringLiteral("Flintwell9.exe")}},
        {QStringLiteral("{BC4A6143-8C22-4560-BE58-5E330FD2E527}"),
         {QStringLiteral("Kestrelle.exe"), QStringLiteral("Kestrelle8.exe"), QStringLiteral("Kestrelle9.exe")}},
        {QStringLiteral("{10E05858-2783-483D-BDBE-A8F6E101F805}"),
         {QStringLiteral("Glimmerow.exe"), QStringLiteral("Glimmerow8.exe"), QStringLiteral("Glimmerow9.exe")}},
        {QStringLiteral("{262F6735-5040-48A3-9F11-ECC6327CC961}"),
         {QStringLiteral("Ovaldrum.exe"), QStringLiteral("Ovaldrum9.exe")}},
        {QStringLiteral("{64DF6A32-9832-4b3d-8DCF-4A34FE0FC7EE}"),
         {QStringLiteral("Marrowby.exe"), QStringLiteral("Marrowby9.exe")}},
    };
    return programs;
}

CAlbireoApp::CAlbireoApp(const QStringList& arguments) : m_arguments(arguments) { g_pApp = this; }

CAlbireoApp::~CAlbireoApp()
{
    ExitInstance();
    if (g_pApp == this) g_pApp = nullptr;
}

CAlbireoApp* CAlbireoApp::Instance() { return g_pApp; }

CDiscAccess* CAlbireoApp::GetDiscAccess() { return g_pApp ? g_pApp->m_pDiscAccess.get() : nullptr; }

void CAlbireoApp::SetPowerNotices(std::unique_ptr<PowerNotices> notices) { m_pPowerNotices = std::move(notices); }

BOOL CAlbireoApp::InitInstance()
{
    m_bExited = false;
    if (!LoadResourceModule()) return FALSE;
    ParseCommandLine();
    QApplication::setApplicationName(QStringLiteral("albireo"));
    // The desktop entry's name: Wayland's app id, and with it the dock's
    // icon; on X11 the window's class says the same (StartupWMClass).
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    for (const SuiteProgram& program : SuitePrograms())
        if (ProbeSuiteProgram(program.mutexId)) return FALSE;
    if (!AcquireInstanceMutex()) return FALSE;
    ApplyGlobalFont();
    m_pDiscAccess = std::make_unique<CDiscAccess>();
    if (!CreateFrame()) return FALSE;
    m_pMainFrame->setWindowTitle(LoadString(IDS_APP_NAME));
    WindowPlacement::Restore(*m_pMainFrame);
    m_pMainFrame->show();
    m_pMainFrame->setWindowIcon(QIcon(ProgramPaths::ImageFile(LoadIconPath(IDI_SMALL))));
    // A disc image opened from the desktop ("albireo IMAGE.iso") is imported.
    if (!m_strStartPath.isEmpty()) m_pMainFrame->ImportStartPath(m_strStartPath);
    return TRUE;
}

bool CAlbireoApp::CreateFrame()
{
    m_pDocument = std::make_unique<CAlbireoDoc>();
    if (!m_pDocument->OnNewDocument()) return false;
    m_pMainFrame = std::make_unique<CMainFrame>(m_pDocument.get(), m_pDiscAccess.get(), std::move(m_pPowerNotices));
    if (m_pMainFrame->Create()) return true;
    m_pMainFrame.reset();
    // Missing pictures fall back; what the frame cannot do without (its
    // menu) comes from the resource file: the start never ends without a word.
    // A library that could not be opened has said so itself.
    if (!LoadMenu(IDR_MAINFRAME)) ShowMissingResourceBox(m_strResourcePath);
    return false;
}

void CAlbireoApp::ApplyGlobalFont()
{
    QFont font = QApplication::font();
    font.setFamily(UiFace(LanguageCode()));
    const int pixels = QFontInfo(QApplication::font()).pixelSize();
    font.setPixelSize(std::max(9, int(std::floor(pixels / GetDpiFactor(false) * GetUiScale()))));
    QApplication::setFont(font);
}

int CAlbireoApp::ExitInstance()
{
    if (m_bExited) return 0;
    m_bExited = true;
    // A window closed during an import: the scan is cancelled (it removes
    // its disc) and its worker has ended before anything it uses goes, the
    // library engine the frame's list holds first of all.
    if (m_pDiscAccess) {
        m_pDiscAccess->SetCancel(1);
        m_pDiscAccess->WaitForScan();
    }
    m_pMainFrame.reset();
    m_pDocument.reset();
    if (m_hInstanceMutex) m_hInstanceMutex.reset();
    m_pDiscAccess.reset();
    ReleaseLanguage();
    SetResourceHandle(nullptr);
    m_hResourceDll.reset();
    return 0;
}

HRESULT CAlbireoApp::InitLanguage(bool start, const QString& code)
{
    // Loading again (the resource module is reloaded) replaces the component
    // held so far instead of losing it.
    ReleaseLanguage();
    IntReg systemDefault(HKEY_CURRENT_USER, kKey, u"IsSystemDefault");
    const int isSystemDefault = systemDefault.Read() ? systemDefault.Get() : 0;
    const QString folder = ProgramPaths::ProgramFolder();
    m_hLanguageDll = ModuleLoader::LoadLibrary(folder + QStringLiteral("/Lingmere/Lingmere.dll"));
    auto getLingmere = m_hLanguageDll ? reinterpret_cast<GetLingmereFn>(
                                            ModuleLoader::GetProcAddress(m_hLanguageDll, "GetLingmere"))
                                      : nullptr;
    if (!getLingmere) {
        if (m_hLanguageDll) ModuleLoader::FreeLibrary(m_hLanguageDll);
        m_hLanguageDll = nullptr;
        return E_FAIL;
    }
    const QString xml = folder + QStringLiteral("/Lingmere/");
    m_pLanguage = getLingmere(Utf16(xml + QStringLiteral("MUIResource.xml")),
                              Utf16(xml + QStringLiteral("MUIReference.xml")),
                              Utf16(xml + QStringLiteral("MUIStartMenu.xml")), isSystemDefault, kLingmereVersion);
    if (!m_pLanguage) return E_FAIL;
    QString chosen = code;
    if (chosen.isEmpty() && isSystemDefault == 1) {
        char16_t buffer[kLingmereBufferSize] = {};
        if (SUCCEEDED(m_pLanguage->GetLanguage(buffer))) chosen = QString::fromUtf16(buffer);
    }
    if (chosen.isEmpty()) chosen = ReadCurrentLang(HKEY_CURRENT_USER);
    if (chosen.isEmpty()) chosen = QStringLiteral("Enu");
    return m_pLanguage->SetLanguage(Utf16(chosen));
}

BOOL CAlbireoApp::LoadResourceModule()
{
    const HRESULT language = InitLanguage(true, QString());
    char16_t buffer[kLingmereBufferSize] = {};
    const HRESULT path = m_pLanguage ? m_pLanguage->GetResourcePath(buffer) : E_FAIL;
    QString tried;
    if (language == E_FAIL) {
        tried = QStringLiteral("FlwRC.dll");
        m_hResourceDll = ResourceModule::Load(tried);
        if (!m_hResourceDll) {
            tried = QStringLiteral("Language\\%1\\FlwRC.dll").arg(ReadCurrentLang(HKEY_LOCAL_MACHINE));
            m_hResourceDll = ResourceModule::Load(tried);
        }
    } else if (path != S_OK) {
        tried = QStringLiteral("Language\\Enu\\FlwRC.dll");
        m_hResourceDll = ResourceModule::Load(tried);
        if (m_hResourceDll) {
            StringReg current(HKEY_CURRENT_USER, kKey, u"CurrentLang");
            current = QStringLiteral("ENU");
            current.Write();
        }
    } else {
        tried = QString::fromUtf16(buffer);
        m_hResourceDll = ResourceModule::Load(tried);
    }
    m_strResourcePath = ResourceModule::DataFilePath(tried);
    if (!m_hResourceDll) {
        ShowMissingResourceBox(m_strResourcePath);
        ReleaseLanguage();
        return FALSE;
    }
    SetResourceHandle(m_hResourceDll);
    return TRUE;
}

QString CAlbireoApp::LanguageCode() const
{
    char16_t buffer[kLingmereBufferSize] = {};
    if (m_pLanguage && SUCCEEDED(m_pLanguage->GetLanguage(buffer))) return QString::fromUtf16(buffer);
    return QStringLiteral("ENU");
}

void CAlbireoApp::ReleaseLanguage()
{
    if (!m_hLanguageDll) return;
    auto release = reinterpret_cast<ReleaseLingmereFn>(ModuleLoader::GetProcAddress(m_hLanguageDll, "ReleaseLingmere"));
    if (release && m_pLanguage) release(m_pLanguage);
    ModuleLoader::FreeLibrary(m_hLanguageDll);
    m_hLanguageDll = nullptr;
    m_pLanguage = nullptr;
}

void CAlbireoApp::ParseCommandLine()
{
    // "/x" arguments are flags, the first other argument the file to start
    // with; "--" options are the program's own on this system.
    QString fileName;
    for (qsizetype i = 1; i < m_arguments.size(); ++i) {
        const QString& argument = m_arguments[i];
        if (argument.size() > 1 && argument[1] == u'P') m_bStartFlagP = true;
        if (argument.startsWith(u'/') && !QFileInfo(argument).exists()) continue;
        if (argument.startsWith(QStringLiteral("--"))) continue;
        if (fileName.isEmpty()) fileName = argument;
    }
    if (!fileName.isEmpty() && QFileInfo(fileName).isFile()) m_strStartPath = QFileInfo(fileName).absoluteFilePath();
}

int CAlbireoApp::IsProcessRunning(const QString& exeName) { return ProcessTable::IsProcessRunning(exeName) ? 1 : 0; }

int CAlbireoApp::ProbeSuiteProgram(const QString& identifier, const QString& messageName)
{
    DWORD error = 0;
    NamedMutex::Create(QStringLiteral("Global\\") + identifier, true, &error);
    if (error != ERROR_ALREADY_EXISTS) return 0;
    const std::vector<SuiteProgram>& programs = SuitePrograms();
    for (size_t row = 0; row < programs.size(); ++row) {
        if (programs[row].mutexId != identifier) continue;
        if (row == 0) {
            if (IsProcessRunning(QStringLiteral("Albireo9.exe")) || IsProcessRunning(QStringLiteral("Albireo10.exe")))
                ShowMessage(IDS_MSG_ALREADY_RUNNING);
            else
                ActivateRunningInstance(); // the user asked for the program: show the one that runs
            break;
        }
        for (const QString& older : programs[row].olderExecutables)
            if (IsProcessRunning(older)) return 0;
    }
    InstanceChannel::Broadcast(messageName.isEmpty() ? identifier : messageName);
    SetResourceHandle(nullptr);
    m_hResourceDll.reset();
    return 1;
}

int CAlbireoApp::AcquireInstanceMutex()
{
    DWORD error = 0;
    m_hInstanceMutex = NamedMutex::Create(QStringLiteral("Global\\%1").arg(SuitePrograms()[0].mutexId), true, &error);
    if (!m_hInstanceMutex) {
        ShowMessage(IDS_MSG_INSTANCE_LOCK_FAILED);
        return 0;
    }
    if (error != ERROR_ALREADY_EXISTS) return 1;
    m_hInstanceMutex.reset();
    ActivateRunningInstance();
    return 0;
}

void CAlbireoApp::ActivateRunningInstance()
{
    std::unique_ptr<InstanceChannel::Window> other = InstanceChannel::Find(QString::fromLatin1(CMainFrame::kWindowClass));
    if (!other) return;
    if (!other->IsVisible()) {
        ShowMessage(IDS_MSG_ALREADY_RUNNING);
        return;
    }
    if (other->IsIconic()) other->Restore();
    if (m_strStartPath.isEmpty()) ShowMessage(IDS_MSG_ALREADY_RUNNING);
    const auto raised = other->Raise(WindowActivation::TakeLaunchToken());
    if (m_strStartPath.isEmpty() || !QFileInfo::exists(m_strStartPath)) return;
    other->CopyData(kStartPathCopyData, 0, m_strStartPath);
    // The image went to a window the desktop left behind others: say where.
    if (raised == InstanceChannel::Window::Raised::InPlace)
        CFlwMessageBox::showMessage(LoadString(IDS_FMT_HANDED_OVER_BEHIND).replace(QStringLiteral("%s"), QFileInfo(m_strStartPath).fileName()),
                                    MB_ICONINFORMATION);
}

void CAlbireoApp::OnAppAbout()
{
    CAboutDlg about(m_pMainFrame.get());
    about.DoModal();
}

bool CAlbireoApp::event(QEvent* event)
{
    if (auto* message = WinMessageEvent::From(event)) {
        if (message->msg == WM_COMMAND && LOWORD(message->wParam) == kAboutCommand) OnAppAbout();
        message->handled = true;
        return true;
    }
    return QObject::event(event);
}
