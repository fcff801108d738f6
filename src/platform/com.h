// COM-style component model in plain C++: 16-byte GUIDs, IUnknown with
// reference counting, class factories and the two exports every component
// library carries (DllGetClassObject, DllCanUnloadNow).
#pragma once
#include "hresult.h"
#include "wintypes.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];

    friend bool operator==(const GUID& a, const GUID& b)
    {
        if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
            return false;
        for (int i = 0; i < 8; ++i)
            if (a.Data4[i] != b.Data4[i])
                return false;
        return true;
    }
};
static_assert(sizeof(GUID) == 16);

using IID = GUID;
using CLSID = GUID;
using REFIID = const GUID&;
using REFCLSID = const GUID&;

// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (braces optional, any case).
std::optional<GUID> GuidFromString(std::string_view text);
// Prints the registry form: braces, upper-case hex.
std::string GuidToString(const GUID& guid);

// A GUID written as a literal in code; ill-formed text is a programming error.
GUID MakeGuid(std::string_view text);

inline constexpr GUID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

// Signatures of the component exports.
using DllGetClassObjectFn = HRESULT (*)(REFCLSID clsid, REFIID iid, void** object);
using DllCanUnloadNowFn = HRESULT (*)();

// Atomic reference count for objects implementing IUnknown; deletes the
// object when the last reference goes. Components also count live objects so
// that DllCanUnloadNow can answer.
class ComRefCount {
public:
    ULONG Increment() { return ++m_count; }
    ULONG Decrement() { return --m_count; }
    ULONG Value() const { return m_count.load(); }

private:
    std::atomic<ULONG> m_count{1};
};

// Releases a held interface pointer and clears it.
template <class T>
void SafeRelease(T*& pointer)
{
    if (pointer) {
        pointer->Release();
        pointer = nullptr;
    }
}

// Marks the C-linkage exports of a component library.
#define ALBIREO_EXPORT extern "C" __attribute__((visibility("default")))
