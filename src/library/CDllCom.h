// Loads the library engine component and creates engine instances. Where
// the component lies is read from "DllPath.ini" beside the program: key
// "Stackvault.dll" of section [Path]. An empty value means the component
// beside the program; otherwise the value is a library file or a folder
// holding "Stackvault.dll", relative to the program folder unless absolute.
// When that cannot be loaded the bare name "Stackvault.dll" is tried.
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
    // The module that DllPath.ini names (empty: only the bare name).
    static QString ConfiguredModulePath();

private:
    HRESULT Load();

    ComponentModule m_module;
};
