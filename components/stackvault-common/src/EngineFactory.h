// The class factory of CLSID_LibraryEngine for one engine class, and the
// component's DllGetClassObject built on it. Objects count towards
// LibraryModule's live objects, which decide DllCanUnloadNow.
#pragma once
#include "ILibraryEngine.h"
#include "LibraryModule.h"
#include "com.h"

template <class Engine>
class EngineFactory final : public IClassFactory {
public:
    EngineFactory() { LibraryModule::ObjectCreated(); }
    ~EngineFactory() { LibraryModule::ObjectDestroyed(); }

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
    ULONG AddRef() override { return m_refs.Increment(); }
    ULONG Release() override
    {
        const ULONG count = m_refs.Decrement();
        if (count == 0) delete this;
        return count;
    }
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* engine = new Engine();
        const HRESULT hr = engine->QueryInterface(iid, object);
        engine->Release();
        return hr;
    }
    HRESULT LockServer(BOOL lock) override
    {
        LibraryModule::Lock(lock != FALSE);
        return S_OK;
    }

    // What the component's DllGetClassObject answers.
    static HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object)
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!(clsid == CLSID_LibraryEngine)) return CLASS_E_CLASSNOTAVAILABLE;
        auto* factory = new EngineFactory();
        const HRESULT hr = factory->QueryInterface(iid, object);
        factory->Release();
        return hr;
    }

private:
    ComRefCount m_refs;
};
