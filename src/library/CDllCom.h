// Loads the library engine component and creates engine instances. The
// library's place picks the component: "Stackvault.dll" (SQLite) for a
// file, "StackvaultPg.dll" (PostgreSQL) for a "postgresql://" address
// (LibraryLocation.h). Where the component lies is read from "DllPath.ini"
// beside the program: the key of its name in section [Path]. An empty
// value means the component beside the program; otherwise the value is a
// library file or a folder holding it, relative to the program folder
// unless absolute. When that cannot be loaded the bare name is tried.
#pragma once
#include "ComponentModule.h"
#include "ILibraryEngine.h"

#include <QString>

class CDllCom {
public:
    CDllCom() = default;
    // Unloads the component when it has no live objects left.
    ~CDllCom() = default;
    CDllCom(const CDllCom&) = delete;
    CDllCom& operator=(const CDllCom&) = delete;

    // Loads the component if needed and creates a new engine; the caller
    // releases it. A load failure gives the system error as HRESULT, a
    // component without class factory E_FAIL.
    HRESULT CreateLibraryEngine(ILibraryEngine** engine);
    // The component the library's place asks for ("Stackvault.dll" or "StackvaultPg.dll").
    static QString ModuleName();
    // The module that DllPath.ini names for it (empty: only the bare name).
    static QString ConfiguredModulePath();

private:
    HRESULT Load();

    ComponentModule m_module;
};
