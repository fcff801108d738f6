// StringReg: a text setting of up to 1023 characters stored as REG_SZ,
// written without the terminating zero and read into a 2048-byte buffer.
#pragma once
#include "RegAccess.h"

#include <QString>

class StringReg {
public:
    static constexpr int kCapacity = 1024;

    StringReg();
    StringReg(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, BOOL autoSync = FALSE);
    virtual ~StringReg() = default;

    BOOL Read();
    BOOL Write();
    // Deletes the value from root\keyPath.
    BOOL Delete();

    const WCHAR* Get() const { return m_szValue; }
    QString ToString() const { return QString::fromUtf16(m_szValue); }
    // A null text keeps the old one (but still writes with auto-sync); texts
    // of 1024 characters or more are cut to 1023.
    StringReg& operator=(const WCHAR* text);
    StringReg& operator=(const QString& text);

    bool IsEmpty() const { return m_szValue[0] == 0; }
    int GetLength() const;
    // Case-sensitive; a null text is never equal.
    bool operator==(const WCHAR* text) const;
    bool operator==(const QString& text) const { return ToString() == text; }

private:
    BOOL m_bAutoSync = FALSE;
    WCHAR m_szKeyPath[RegAccess::kKeyPathLength];
    WCHAR m_szValueName[RegAccess::kValueNameLength];
    HKEY m_hRoot = HKEY_LOCAL_MACHINE;
    WCHAR m_szValue[kCapacity];
};
