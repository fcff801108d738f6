#include "CLibraryHealth.h"

#include "CDllCom.h"
#include "ResourceIds.h"
#include "StringResources.h"

#include <QObject>
#include <QPointer>
#include <QThread>

CLibraryHealth::CLibraryHealth(CDllCom& loader)
{
    if (SUCCEEDED(loader.CreateLibraryEngine(&m_pEngine)))
        m_pEngine->QueryInterface(IID_ILibraryMaintenance, reinterpret_cast<void**>(&m_pMaintenance));
}

CLibraryHealth::~CLibraryHealth()
{
    if (m_pCheckThread) m_pCheckThread->wait();
    SafeRelease(m_pMaintenance);
    SafeRelease(m_pEngine);
}

bool CLibraryHealth::TakeFirstDamage(HRESULT hr)
{
    if (!IsDamage(hr) || m_bDamageTold) return false;
    m_bDamageTold = true;
    return true;
}

QString CLibraryHealth::LibraryPath() const
{
    if (!m_pMaintenance) return QString();
    auto path = std::make_unique<char16_t[]>(kLibraryPathLength);
    return SUCCEEDED(m_pMaintenance->GetLibraryPath(path.get())) ? QString::fromUtf16(path.get()) : QString();
}

QString CLibraryHealth::DamageQuestion() const { return Format(LoadString(IDS_FMT_LIBRARY_DAMAGED), {LibraryPath()}); }

QString CLibraryHealth::DamageLine() const { return Format(LoadString(IDS_FMT_LIBRARY_DAMAGED_CLI), {LibraryPath()}); }

HRESULT CLibraryHealth::Check(bool full, QString* finding)
{
    if (!m_pMaintenance) return E_NOINTERFACE;
    char16_t text[kLibraryTextLength] = {};
    const HRESULT hr = m_pMaintenance->CheckLibrary(full ? 1 : 0, text);
    if (finding) *finding = QString::fromUtf16(text);
    return hr;
}

HRESULT CLibraryHealth::RunStartupCheck()
{
    const HRESULT hr = Check(false, nullptr);
    if (hr == S_OK) m_pMaintenance->BackUpLibrary(1);
    return hr;
}

void CLibraryHealth::StartStartupCheck(QObject* context, std::function<void(HRESULT)> done)
{
    if (m_pCheckThread) m_pCheckThread->wait();
    QPointer<QObject> receiver(context);
    m_pCheckThread.reset(QThread::create([this, receiver, done = std::move(done)] {
        const HRESULT hr = RunStartupCheck();
        if (receiver) QMetaObject::invokeMethod(receiver, [done, hr] { done(hr); }, Qt::QueuedConnection);
    }));
    m_pCheckThread->start();
}

HRESULT CLibraryHealth::Repair(QString* text)
{
    if (!m_pMaintenance) return E_NOINTERFACE;
    auto report = std::make_unique<LibraryRepairReport>();
    const HRESULT hr = m_pMaintenance->RepairLibrary(report.get());
    if (SUCCEEDED(hr)) m_bDamageTold = false; // a new library: new damage is news again
    *text = SUCCEEDED(hr) ? ReportText(*report)
            : hr == LIBRARY_E_IN_USE ? LoadString(IDS_MSG_LIBRARY_IN_USE)
                                     : LoadString(IDS_MSG_REPAIR_FAILED);
    return hr;
}

QString CLibraryHealth::ReportText(const LibraryRepairReport& report)
{
    return Format(LoadString(IDS_FMT_REPAIR_REPORT),
                  {QString::number(report.discsWhole), QString::number(report.discsPartly),
                   QString::number(report.discsRecovered), QString::number(report.rowsSaved),
                   QString::number(report.rowsLost), QString::fromUtf16(report.damagedCopy)});
}

QString CLibraryHealth::Format(QString text, const QStringList& values)
{
    qsizetype at = 0;
    for (const QString& value : values) {
        at = text.indexOf(QLatin1String("%s"), at);
        if (at < 0) break;
        text.replace(at, 2, value);
        at += value.size();
    }
    return text;
}
