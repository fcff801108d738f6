// Reference counting for the component's objects; every live object keeps
// the library loaded (DllCanUnloadNow answers S_FALSE while any exists).
#pragma once
#include "com.h"

namespace ModuleState {
void ObjectCreated();
void ObjectDestroyed();
long LiveObjects();
void LockServer(bool lock);
long ServerLocks();
} // namespace ModuleState

class ComObject {
public:
    ComObject() { ModuleState::ObjectCreated(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() { ModuleState::ObjectDestroyed(); }

protected:
    ULONG AddRefObject() { return m_references.Increment(); }
    ULONG ReleaseObject()
    {
        const ULONG left = m_references.Decrement();
        if (left == 0) delete this;
        return left;
    }

private:
    ComRefCount m_references;
};

// The two IUnknown counting members of a class deriving from ComObject.
#define TRELLIS_COM_REFCOUNT                                \
    ULONG AddRef() override { return AddRefObject(); }      \
    ULONG Release() override { return ReleaseObject(); }
