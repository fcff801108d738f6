#include "CDllCom.h"

#include "Diagnostics.h"
#include "ProfileString.h"
#include "ProgramPaths.h"

#include <QDir>

namespace {
const QString kModuleName = QStringLiteral("Stackvault.dll");

bool NamesLibraryFile(const QString& value)
{
    return value.endsWith(QStringLiteral(".dll"), Qt::CaseInsensitive) ||
           value.endsWith(QStringLiteral(".so"), Qt::CaseInsensitive);
}
} // namespace

QString CDllCom::ConfiguredModulePath()
{
    const QString ini = ProgramPaths::ProgramFolder() + QStringLiteral("/DllPath.ini");
    const QString value = ProfileString::Read(ini, QStringLiteral("Path"), kModuleName, QString());
    if (value.isEmpty()) return {};
    QString path = ProgramPaths::ToNativeSeparators(value);
    if (QDir::isRelativePath(path)) path = ProgramPaths::ProgramFolder() + QLatin1Char('/') + path;
    if (!NamesLibraryFile(path)) path += QLatin1Char('/') + kModuleName;
    return QDir::cleanPath(path);
}

HRESULT CDllCom::Load()
{
    if (m_module.IsLoaded()) return S_OK;
    const QString configured = ConfiguredModulePath();
    if (!configured.isEmpty()) {
        const HRESULT hr = m_module.Load(configured);
        if (SUCCEEDED(hr)) return hr;
        DumpMsg("DllCom", "cannot load %s, trying %s", qPrintable(configured), qPrintable(kModuleName));
    }
    return m_module.Load(kModuleName);
}

HRESULT CDllCom::CreateLibraryEngine(ILibraryEngine** engine)
{
    if (!engine) return E_POINTER;
    *engine = nullptr;
    const HRESULT hr = Load();
    if (FAILED(hr)) return hr;
    return m_module.CreateInstance(CLSID_LibraryEngine, IID_ILibraryEngine, reinterpret_cast<void**>(engine));
}
