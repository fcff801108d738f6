// The component's exports: the class factory of the engine, and whether
// the library may be unloaded.
#include "CTrellisEngine.h"

namespace {

class CEngineFactory : public IClassFactory, public ComObject {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    TRELLIS_COM_REFCOUNT

    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* engine = new CTrellisEngine;
        const HRESULT hr = engine->QueryInterface(iid, object);
        engine->Release();
        return hr;
    }

    HRESULT LockServer(BOOL lock) override
    {
        ModuleState::LockServer(lock != FALSE);
        return S_OK;
    }
};

} // namespace

ALBIREO_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!(clsid == CLSID_TrellisEngine)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new CEngineFactory;
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

ALBIREO_EXPORT HRESULT DllCanUnloadNow()
{
    return ModuleState::LiveObjects() == 0 && ModuleState::ServerLocks() == 0 ? S_OK : S_FALSE;
}
