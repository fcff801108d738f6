// The component's exports.
#include "EngineFactory.h"
#include "PgLibraryEngine.h"

ALBIREO_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return EngineFactory<CPgLibraryEngine>::GetClassObject(clsid, iid, object);
}

ALBIREO_EXPORT HRESULT DllCanUnloadNow() { return LibraryModule::CanUnload() ? S_OK : S_FALSE; }
