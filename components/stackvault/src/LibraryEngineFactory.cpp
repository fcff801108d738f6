#include "LibraryEngineFactory.h"

#include "LibraryEngine.h"
#include "LibraryModule.h"

CLibraryEngineFactory::CLibraryEngineFactory() { LibraryModule::ObjectCreated(); }

CLibraryEngineFactory::~CLibraryEngineFactory() { LibraryModule::ObjectDestroyed(); }

HRESULT CLibraryEngineFactory::QueryInterface(REFIID iid, void** object)
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

ULONG CLibraryEngineFactory::AddRef() { return m_refs.Increment(); }

ULONG CLibraryEngineFactory::Release()
{
    const ULONG count = m_refs.Decrement();
    if (count == 0) delete this;
    return count;
}

HRESULT CLibraryEngineFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* engine = new CLibraryEngine();
    const HRESULT hr = engine->QueryInterface(iid, object);
    engine->Release();
    return hr;
}

HRESULT CLibraryEngineFactory::LockServer(BOOL lock)
{
    LibraryModule::Lock(lock != FALSE);
    return S_OK;
}
