// The one shape of the scalar settings values: a value object that knows its
// root, key path and value name, holds the value in memory and reads or
// writes it on request. With auto-sync every assignment writes at once.
#pragma once
#include "RegAccess.h"

template <class T, DWORD kRegType>
class ScalarReg {
public:
    explicit ScalarReg(T initial) : m_value(initial)
    {
        RegAccess::CopyText(m_szKeyPath, RegAccess::kKeyPathLength, nullptr);
        RegAccess::CopyText(m_szValueName, RegAccess::kValueNameLength, nullptr);
    }
    ScalarReg(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, BOOL autoSync, T initial)
        : m_bAutoSync(autoSync), m_hRoot(root), m_value(initial)
    {
        RegAccess::CopyText(m_szKeyPath, RegAccess::kKeyPathLength, keyPath);
        RegAccess::CopyText(m_szValueName, RegAccess::kValueNameLength, valueName);
    }
    virtual ~ScalarReg() = default;

    // 1 when the value was read (per-user first, then machine-wide).
    BOOL Read()
    {
        T read = m_value;
        DWORD size = sizeof(T);
        if (!RegAccess::QueryWithFallback(m_hRoot, m_szKeyPath, m_szValueName, &read, &size)) return FALSE;
        m_value = read;
        return TRUE;
    }
    BOOL Write() { return RegAccess::SetValue(m_hRoot, m_szKeyPath, m_szValueName, kRegType, &m_value, sizeof(T)); }

    T Get() const { return m_value; }
    operator T() const { return m_value; }
    void Set(T value)
    {
        m_value = value;
        if (m_bAutoSync) Write();
    }

protected:
    BOOL m_bAutoSync = FALSE;
    WCHAR m_szKeyPath[RegAccess::kKeyPathLength];
    WCHAR m_szValueName[RegAccess::kValueNameLength];
    HKEY m_hRoot = HKEY_LOCAL_MACHINE;
    T m_value;
};
