// ArrayReg: a list of fixed-size byte records kept in one key, record i as
// the REG_BINARY value named i in decimal. Records are owned by the object.
#pragma once
#include "RegAccess.h"

#include <memory>
#include <vector>

class ArrayReg {
public:
    ArrayReg(HKEY root, const WCHAR* keyPath, DWORD recordSize = 2048);
    virtual ~ArrayReg() = default;

    // Replaces the list by the key's values in enumeration order; 0 when the
    // key cannot be opened.
    BOOL Load();
    // Deletes and re-creates the key, then writes every record; 1 once the
    // key could be created (single value failures are ignored).
    BOOL Save();

    // The adding and replacing calls copy `length` bytes and do nothing
    // unless `length` equals the record size.
    int Add(const BYTE* bytes, DWORD length);
    void InsertAt(int index, const BYTE* bytes, DWORD length);
    BOOL SetAt(int index, const BYTE* bytes, DWORD length);
    void RemoveAt(int index);
    const BYTE* GetAt(int index) const;
    int GetCount() const { return static_cast<int>(m_records.size()); }
    void Clear() { m_records.clear(); }

private:
    std::unique_ptr<BYTE[]> Copy(const BYTE* bytes) const;

    std::vector<std::unique_ptr<BYTE[]>> m_records;
    DWORD m_dwRecordSize;
    WCHAR m_szKeyPath[RegAccess::kKeyPathLength];
    HKEY m_hRoot;
};
