#include "ArrayReg.h"

#include "ArrayKey.h"

#include <cstring>

ArrayReg::ArrayReg(HKEY root, const WCHAR* keyPath, DWORD recordSize) : m_dwRecordSize(recordSize), m_hRoot(root)
{
    RegAccess::CopyText(m_szKeyPath, RegAccess::kKeyPathLength, keyPath);
}

std::unique_ptr<BYTE[]> ArrayReg::Copy(const BYTE* bytes) const
{
    auto record = std::make_unique<BYTE[]>(m_dwRecordSize);
    std::memcpy(record.get(), bytes, m_dwRecordSize);
    return record;
}

BOOL ArrayReg::Load()
{
    std::vector<std::unique_ptr<BYTE[]>> loaded;
    auto buffer = std::make_unique<BYTE[]>(m_dwRecordSize);
    const bool opened = ArrayKey::Enumerate(m_hRoot, m_szKeyPath, buffer.get(), m_dwRecordSize, [&](DWORD size) {
        auto record = std::make_unique<BYTE[]>(m_dwRecordSize);
        std::memcpy(record.get(), buffer.get(), size);
        loaded.push_back(std::move(record));
    });
    if (!opened) return FALSE;
    m_records = std::move(loaded);
    return TRUE;
}

BOOL ArrayReg::Save()
{
    return ArrayKey::Rewrite(m_hRoot, m_szKeyPath, GetCount(), REG_BINARY, m_dwRecordSize,
                             [&](int index) { return m_records[index].get(); });
}

int ArrayReg::Add(const BYTE* bytes, DWORD length)
{
    if (!bytes || length != m_dwRecordSize) return -1;
    m_records.push_back(Copy(bytes));
    return GetCount() - 1;
}

void ArrayReg::InsertAt(int index, const BYTE* bytes, DWORD length)
{
    if (!bytes || length != m_dwRecordSize || index < 0 || index > GetCount()) return;
    m_records.insert(m_records.begin() + index, Copy(bytes));
}

BOOL ArrayReg::SetAt(int index, const BYTE* bytes, DWORD length)
{
    if (!bytes || length != m_dwRecordSize || index < 0 || index >= GetCount()) return FALSE;
    m_records[index] = Copy(bytes);
    return TRUE;
}

void ArrayReg::RemoveAt(int index)
{
    if (index >= 0 && index < GetCount()) m_records.erase(m_records.begin() + index);
}

const BYTE* ArrayReg::GetAt(int index) const
{
    return index >= 0 && index < GetCount() ? m_records[index].get() : nullptr;
}
