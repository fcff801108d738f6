#include "CDllCom.h"

#include "Diagnostics.h"
#include "LibraryLocation.h"
#include "ProfileString.h"
#include "ProgramPaths.h"

#include <QDir>

namespace {

bool NamesLibraryFile(const QString& value)
{
    return value.endsWith(QStringLiteral(".dll"), Qt::CaseInsensitive) ||
           value.endsWith(QStringLiteral(".so"), Qt::CaseInsensitive);
}
} // namespace

QString CDllCom::ModuleName()
{
    return LibraryLocation::IsServerAddress(LibraryLocation::DatabasePath()) ? QStringLiteral("StackvaultPg.dll")
                                                                              : QStringLiteral("Stackvault.dll");
}

QString CDllCom::ConfiguredModulePath()
{
    const QString moduleName = ModuleName();
    const QString ini = ProgramPaths::ProgramFolder() + QStringLiteral("/DllPath.ini");
    const QString value = ProfileString::Read(ini, QStringLiteral("Path"), moduleName, QString());
    if (value.isEmpty()) return {};
    QString path = ProgramPaths::ToNativeSeparators(value);
    if (QDir::isRelativePath(path)) path = ProgramPaths::ProgramFolder() + QLatin1Char('/') + path;
    if (!NamesLibraryFile(path)) path += QLatin1Char('/') + moduleName;
    return QDir::cleanPath(path);
}

HRESULT CDllCom::Load()
{
    if (m_module.IsLoaded()) return S_OK;
    const QString moduleName = ModuleName();
    const QString configured = ConfiguredModulePath();
    if (!configured.isEmpty()) {
        const HRESULT hr = m_module.Load(configured);
        if (SUCCEEDED(hr)) return hr;
        DumpMsg("DllCom", "cannot load %s, trying %s", qPrintable(configured), qPrintable(moduleName));
    }
    return m_module.Load(moduleName);
}

HRESULT CDllCom::CreateLibraryEngine(ILibraryEngine** engine)
{
    if (!engine) return E_POINTER;
    *engine = nullptr;
    const HRESULT hr = Load();
    if (FAILED(hr)) return hr;
    return m_module.CreateInstance(CLSID_LibraryEngine, IID_ILibraryEngine, reinterpret_cast<void**>(engine));
}
