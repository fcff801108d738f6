#include "StringReg.h"

#include <algorithm>

StringReg::StringReg()
{
    RegAccess::CopyText(m_szKeyPath, RegAccess::kKeyPathLength, nullptr);
    RegAccess::CopyText(m_szValueName, RegAccess::kValueNameLength, nullptr);
    RegAccess::CopyText(m_szValue, kCapacity, nullptr);
}

StringReg::StringReg(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, BOOL autoSync)
    : m_bAutoSync(autoSync), m_hRoot(root)
{
    RegAccess::CopyText(m_szKeyPath, RegAccess::kKeyPathLength, keyPath);
    RegAccess::CopyText(m_szValueName, RegAccess::kValueNameLength, valueName);
    RegAccess::CopyText(m_szValue, kCapacity, nullptr);
}

BOOL StringReg::Read()
{
    WCHAR buffer[kCapacity] = {};
    DWORD size = sizeof buffer;
    if (!RegAccess::QueryWithFallback(m_hRoot, m_szKeyPath, m_szValueName, buffer, &size)) return FALSE;
    const DWORD characters = std::min<DWORD>(size / sizeof(WCHAR), kCapacity - 1);
    buffer[characters] = 0;
    std::copy(buffer, buffer + kCapacity, m_szValue);
    return TRUE;
}

BOOL StringReg::Write()
{
    return RegAccess::SetValue(m_hRoot, m_szKeyPath, m_szValueName, REG_SZ, m_szValue,
                               static_cast<DWORD>(GetLength() * sizeof(WCHAR)));
}

BOOL StringReg::Delete() { return RegAccess::DeleteValue(m_hRoot, m_szKeyPath, m_szValueName); }

StringReg& StringReg::operator=(const WCHAR* text)
{
    if (text) RegAccess::CopyText(m_szValue, kCapacity, text);
    if (m_bAutoSync) Write();
    return *this;
}

StringReg& StringReg::operator=(const QString& text) { return *this = reinterpret_cast<const WCHAR*>(text.utf16()); }

int StringReg::GetLength() const { return static_cast<int>(std::find(m_szValue, m_szValue + kCapacity, 0) - m_szValue); }

bool StringReg::operator==(const WCHAR* text) const
{
    if (!text) return false;
    for (int i = 0;; ++i) {
        if (m_szValue[i] != text[i]) return false;
        if (!text[i]) return true;
    }
}
