// BaseReg: raw access to one registry value of any type and size in the
// caller's buffer. Reading falls back from the root to HKEY_LOCAL_MACHINE,
// then to its 64-bit view.
#pragma once
#include "RegAccess.h"

class BaseReg {
public:
    BaseReg(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, BOOL flag = FALSE);
    virtual ~BaseReg() = default;

    virtual BOOL DeleteValue();
    virtual BOOL Reserved1() { return 0; }
    virtual BOOL Reserved2() { return 0; }

    // *size: buffer size in, bytes read out; *type receives the stored type.
    BOOL Read(DWORD* type, DWORD* size, void* buffer);
    BOOL Write(DWORD type, DWORD size, const void* buffer);

private:
    WCHAR m_szKeyPath[RegAccess::kKeyPathLength];
    WCHAR m_szValueName[RegAccess::kValueNameLength];
    HKEY m_hRoot;
    BOOL m_bFlag;
};
