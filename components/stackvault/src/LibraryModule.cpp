// The component's exports.
#include "EngineFactory.h"
#include "LibraryEngine.h"

ALBIREO_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return EngineFactory<CLibraryEngine>::GetClassObject(clsid, iid, object);
}

ALBIREO_EXPORT HRESULT DllCanUnloadNow() { return LibraryModule::CanUnload() ? S_OK : S_FALSE; }
