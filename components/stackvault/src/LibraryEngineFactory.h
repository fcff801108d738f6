// The class factory of CLSID_LibraryEngine: creates CLibraryEngine objects.
#pragma once
#include "com.h"

class CLibraryEngineFactory final : public IClassFactory {
public:
    CLibraryEngineFactory();
    ~CLibraryEngineFactory();

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT LockServer(BOOL lock) override;

private:
    ComRefCount m_refs;
};
