#include "ComponentModule.h"

#include "ComPtr.h"

HRESULT ComponentModule::Load(const QString& modulePath)
{
    if (m_module) return S_OK;
    HMODULE module = ModuleLoader::LoadLibrary(modulePath);
    if (!module) return ModuleLoader::LastResult();
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(ModuleLoader::GetProcAddress(module, "DllGetClassObject"));
    auto canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(ModuleLoader::GetProcAddress(module, "DllCanUnloadNow"));
    if (!getClassObject || !canUnloadNow) {
        ModuleLoader::FreeLibrary(module);
        return E_FAIL;
    }
    m_module = module;
    m_getClassObject = getClassObject;
    m_canUnloadNow = canUnloadNow;
    return S_OK;
}

HRESULT ComponentModule::CreateInstance(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!m_getClassObject) return E_UNEXPECTED;
    ComPtr<IClassFactory> factory;
    const HRESULT hr = m_getClassObject(clsid, IID_IClassFactory, factory.PutVoid());
    if (FAILED(hr)) return hr;
    if (!factory) return E_FAIL;
    return factory->CreateInstance(nullptr, iid, object);
}

bool ComponentModule::Unload()
{
    if (!m_module) return true;
    if (m_canUnloadNow() != S_OK) return false;
    ModuleLoader::FreeLibrary(m_module);
    m_module = nullptr;
    m_getClassObject = nullptr;
    m_canUnloadNow = nullptr;
    return true;
}
