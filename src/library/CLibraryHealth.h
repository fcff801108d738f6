// What the program and albireo-cli do about a damaged library file, without
// any window: tell a damage failure from other failures, say it once per
// run, run the quick check (and the daily backup of a sound library) off
// the user-interface thread, and repair with a report the user can read.
// Works through the engine's optional ILibraryMaintenance; an engine
// without it gets the texts but no check or repair (E_NOINTERFACE).
//
// The window, in short:
//     CLibraryHealth health(loader);
//     health.StartStartupCheck(this, [&](HRESULT hr) { if (health.TakeFirstDamage(hr)) AskToRepair(); });
//     ... any engine call:  if (health.TakeFirstDamage(hr)) AskToRepair();
//     AskToRepair: the message box with health.DamageQuestion(), MB_YESNO | MB_ICONWARNING; on Yes
//     uninitialise every engine instance, health.Repair(&text), show text, initialise them again.
#pragma once
#include "ILibraryMaintenance.h"

#include <QString>
#include <functional>
#include <memory>

class CDllCom;
class QObject;
class QThread;

class CLibraryHealth {
public:
    explicit CLibraryHealth(CDllCom& loader);
    // Waits for a start-up check still running.
    ~CLibraryHealth();
    CLibraryHealth(const CLibraryHealth&) = delete;
    CLibraryHealth& operator=(const CLibraryHealth&) = delete;

    static bool IsDamage(HRESULT hr) { return hr == LIBRARY_E_DAMAGED; }
    // True for the first damage failure of the run (the one to tell the
    // user about), false for every other result and every later damage.
    bool TakeFirstDamage(HRESULT hr);
    bool CanRepair() const { return m_pMaintenance != nullptr; }

    QString LibraryPath() const;
    // The window's question: the damage, where the file is, Yes repairs.
    QString DamageQuestion() const;
    // albireo-cli's one line: the damage, where the file is, what to run.
    QString DamageLine() const;

    HRESULT Check(bool full, QString* finding);
    // The quick check, then the daily backup when the library is sound.
    // The result is the check's (S_OK, LIBRARY_E_DAMAGED, ...).
    HRESULT RunStartupCheck();
    // RunStartupCheck on a worker thread; `done` runs on `context`'s
    // thread afterwards (not at all when `context` is gone by then).
    void StartStartupCheck(QObject* context, std::function<void(HRESULT)> done);
    // Every engine instance of the process must be uninitialised before.
    // *text: the report, or why the library could not be repaired.
    HRESULT Repair(QString* text);

    static QString ReportText(const LibraryRepairReport& report);
    // A resource text with its "%s" filled in order.
    static QString Format(QString text, const QStringList& values);

private:
    ILibraryEngine* m_pEngine = nullptr;
    ILibraryMaintenance* m_pMaintenance = nullptr;
    std::unique_ptr<QThread> m_pCheckThread;
    bool m_bDamageTold = false;
};
