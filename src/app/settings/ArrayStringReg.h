// ArrayStringReg: a list of strings kept in one key, string i as the REG_SZ
// value named i in decimal, each exactly the slot size in bytes (the
// characters followed by zeros).
#pragma once
#include "RegAccess.h"

#include <QString>
#include <QStringList>

class ArrayStringReg {
public:
    ArrayStringReg(HKEY root, const WCHAR* keyPath, DWORD slotSize = 128);
    virtual ~ArrayStringReg() = default;

    BOOL Load();
    BOOL Save();

    // -1 for a null text.
    int Add(const WCHAR* text);
    // Both do nothing unless a text is given and `length` equals the slot size.
    void InsertAt(int index, const WCHAR* text, DWORD length);
    BOOL SetAt(int index, const WCHAR* text, DWORD length);
    void RemoveAt(int index);
    QString GetAt(int index) const { return index >= 0 && index < m_strings.size() ? m_strings[index] : QString(); }
    int GetCount() const { return static_cast<int>(m_strings.size()); }
    void Clear() { m_strings.clear(); }

private:
    QStringList m_strings;
    DWORD m_dwSlotSize;
    WCHAR m_szKeyPath[RegAccess::kKeyPathLength];
    HKEY m_hRoot;
    WCHAR m_szBuffer[1024];
};
