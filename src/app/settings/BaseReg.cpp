#include "BaseReg.h"

BaseReg::BaseReg(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, BOOL flag) : m_hRoot(root), m_bFlag(flag)
{
    RegAccess::CopyText(m_szKeyPath, RegAccess::kKeyPathLength, keyPath);
    RegAccess::CopyText(m_szValueName, RegAccess::kValueNameLength, valueName);
}

BOOL BaseReg::DeleteValue() { return RegAccess::DeleteValue(m_hRoot, m_szKeyPath, m_szValueName); }

BOOL BaseReg::Read(DWORD* type, DWORD* size, void* buffer)
{
    if (!size) return FALSE;
    const DWORD offered = *size;
    const HKEY roots[] = {m_hRoot, HKEY_LOCAL_MACHINE, HKEY_LOCAL_MACHINE};
    const DWORD views[] = {0, 0, KEY_WOW64_64KEY};
    for (int i = 0; i < 3; ++i) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(roots[i], m_szKeyPath, 0, KEY_QUERY_VALUE | views[i], &key) != ERROR_SUCCESS) continue;
        *size = offered;
        const LONG status = RegQueryValueExW(key, m_szValueName, nullptr, type, static_cast<BYTE*>(buffer), size);
        RegCloseKey(key);
        if (status == ERROR_SUCCESS) return TRUE;
    }
    *size = offered;
    return FALSE;
}

BOOL BaseReg::Write(DWORD type, DWORD size, const void* buffer)
{
    return RegAccess::SetValue(m_hRoot, m_szKeyPath, m_szValueName, type, buffer, size);
}
