// CAlbireoApp: the application object. Its start-up decides whether this
// process may run at all (one instance per machine, and not while certain
// other programs of the suite run), chooses the interface language and
// loads its string table, creates the disc access object, builds the main
// window and restores its placement. Its shutdown releases the same things
// in reverse order.
//
//   CAlbireoApp app(arguments);
//   if (app.InitInstance()) qApp->exec();
//   return app.ExitInstance();
#pragma once
#include "ILingmere.h"
#include "wintypes.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class CAlbireoDoc;
class CDiscAccess;
class CMainFrame;
class NamedMutex;
class PowerNotices;
class ResourceModule;

class CAlbireoApp : public QObject {
    Q_OBJECT
public:
    static constexpr UINT kAboutCommand = 0xE140;
    static constexpr WPARAM kStartPathCopyData = 1025;
    // The desktop entry (albireo.desktop) and the X11 window class.
    static constexpr const char* kDesktopFileName = "albireo";

    // A program of the suite: the mutex it holds while it runs and the
    // older executables that, when running, lift its block.
    struct SuiteProgram {
        QString mutexId;
        QStringList olderExecutables;
    };
    static const std::vector<SuiteProgram>& SuitePrograms();

    explicit CAlbireoApp(const QStringList& arguments);
    ~CAlbireoApp() override;
    // The application object of this process, or null.
    static CAlbireoApp* Instance();

    // TRUE to run the event loop; FALSE ends the process (ExitInstance still runs).
    BOOL InitInstance();
    // Releases everything, each step once; returns the exit code.
    int ExitInstance();

    HRESULT InitLanguage(bool start, const QString& code);
    void ReleaseLanguage();
    // Chooses and loads the string table (with every fallback); FALSE when
    // none loads, after telling the user which file is missing.
    BOOL LoadResourceModule();
    // 1 when the suite program of that mutex blocks this start.
    int ProbeSuiteProgram(const QString& identifier, const QString& messageName = QString());
    // 1 when this process now holds the instance mutex; otherwise the
    // running instance has been activated (and handed the start path).
    int AcquireInstanceMutex();
    static int IsProcessRunning(const QString& exeName);
    // Restores and raises the running instance's window and hands it the
    // start path (message 672 when it is hidden or no path was given).
    void ActivateRunningInstance();

    void OnAppAbout();

    QString StartPath() const { return m_strStartPath; }
    bool StartFlagP() const { return m_bStartFlagP; }
    bool HoldsInstanceMutex() const { return m_hInstanceMutex != nullptr; }
    bool HasLanguageComponent() const { return m_pLanguage != nullptr; }
    QString ResourcePath() const { return m_strResourcePath; }
    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    CAlbireoDoc* Document() const { return m_pDocument.get(); }
    // The one disc access object of the process (null outside start-up..exit).
    static CDiscAccess* GetDiscAccess();
    // Power and session notices for the main frame (tests give their own).
    void SetPowerNotices(std::unique_ptr<PowerNotices> notices);

protected:
    bool event(QEvent* event) override;

private:
    void ParseCommandLine();
    QString LanguageCode() const;
    bool CreateFrame();
    void ApplyGlobalFont();

    QStringList m_arguments;
    std::unique_ptr<NamedMutex> m_hInstanceMutex;
    void* m_hLanguageDll = nullptr;
    ILingmere* m_pLanguage = nullptr;
    std::shared_ptr<const ResourceModule> m_hResourceDll;
    QString m_strResourcePath;
    QString m_strStartPath;
    bool m_bStartFlagP = false;
    std::unique_ptr<PowerNotices> m_pPowerNotices;
    std::unique_ptr<CDiscAccess> m_pDiscAccess;
    std::unique_ptr<CAlbireoDoc> m_pDocument;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    bool m_bExited = false;
};
