// A minimal component library for the loader test: one class whose objects
// answer a number, a factory, and the two exports.
#include "TestComponent.h"

#include <atomic>

namespace {

std::atomic<int> g_liveObjects{0};

template <class Interface>
class Counted : public Interface {
public:
    Counted() { ++g_liveObjects; }
    virtual ~Counted() { --g_liveObjects; }
    ULONG AddRef() override { return m_refs.Increment(); }
    ULONG Release() override
    {
        const ULONG left = m_refs.Decrement();
        if (left == 0) delete this;
        return left;
    }

private:
    ComRefCount m_refs;
};

class AnswerObject : public Counted<IAnswer> {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        if (!(iid == IID_IAnswer) && !(iid == IID_IUnknown)) return *object = nullptr, E_NOINTERFACE;
        AddRef();
        *object = static_cast<IAnswer*>(this);
        return S_OK;
    }
    int Answer() override { return 42; }
};

class Factory : public Counted<IClassFactory> {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (!(iid == IID_IClassFactory) && !(iid == IID_IUnknown)) return *object = nullptr, E_NOINTERFACE;
        AddRef();
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* answer = new AnswerObject;
        const HRESULT hr = answer->QueryInterface(iid, object);
        answer->Release();
        return hr;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
};

} // namespace

ALBIREO_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!(clsid == kAnswerClassId)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new Factory;
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

ALBIREO_EXPORT HRESULT DllCanUnloadNow() { return g_liveObjects == 0 ? S_OK : S_FALSE; }
