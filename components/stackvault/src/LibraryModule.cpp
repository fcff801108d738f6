// The component's exports and its count of live objects.
#include "LibraryModule.h"

#include "ILibraryEngine.h"
#include "LibraryEngineFactory.h"

#include <atomic>

namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
} // namespace

namespace LibraryModule {

void ObjectCreated() { ++g_objects; }
void ObjectDestroyed() { --g_objects; }
void Lock(bool lock) { lock ? ++g_locks : --g_locks; }
bool CanUnload() { return g_objects.load() == 0 && g_locks.load() == 0; }

} // namespace LibraryModule

ALBIREO_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!(clsid == CLSID_LibraryEngine)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new CLibraryEngineFactory();
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
}

ALBIREO_EXPORT HRESULT DllCanUnloadNow() { return LibraryModule::CanUnload() ? S_OK : S_FALSE; }
