// One loaded component library: resolves its two exports, creates objects
// through its class factory and unloads only when the component allows it.
#pragma once
#include "ModuleLoader.h"
#include "com.h"

class ComponentModule {
public:
    ComponentModule() = default;
    ComponentModule(const ComponentModule&) = delete;
    ComponentModule& operator=(const ComponentModule&) = delete;
    ~ComponentModule() { Unload(); }

    // Loads the module and takes both exports; when either is missing the
    // library is freed again and E_FAIL returned.
    HRESULT Load(const QString& modulePath);
    // DllGetClassObject(clsid, IID_IClassFactory), then CreateInstance(null, iid).
    HRESULT CreateInstance(REFCLSID clsid, REFIID iid, void** object);
    // Frees the library when DllCanUnloadNow answers S_OK; true when unloaded.
    bool Unload();
    bool IsLoaded() const { return m_module != nullptr; }

private:
    HMODULE m_module = nullptr;
    DllGetClassObjectFn m_getClassObject = nullptr;
    DllCanUnloadNowFn m_canUnloadNow = nullptr;
};
