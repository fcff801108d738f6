#include "ArrayStringReg.h"

#include "ArrayKey.h"

#include <algorithm>
#include <vector>

ArrayStringReg::ArrayStringReg(HKEY root, const WCHAR* keyPath, DWORD slotSize)
    : m_dwSlotSize(std::min<DWORD>(slotSize, sizeof m_szBuffer)), m_hRoot(root)
{
    RegAccess::CopyText(m_szKeyPath, RegAccess::kKeyPathLength, keyPath);
    RegAccess::CopyText(m_szBuffer, 1024, nullptr);
}

BOOL ArrayStringReg::Load()
{
    QStringList loaded;
    const bool opened = ArrayKey::Enumerate(m_hRoot, m_szKeyPath, reinterpret_cast<BYTE*>(m_szBuffer), m_dwSlotSize,
                                            [&](DWORD size) {
                                                const int characters = static_cast<int>(size / sizeof(WCHAR));
                                                const WCHAR* end = std::find(m_szBuffer, m_szBuffer + characters, 0);
                                                loaded.append(QString::fromUtf16(m_szBuffer, end - m_szBuffer));
                                            });
    if (!opened) return FALSE;
    m_strings = loaded;
    return TRUE;
}

BOOL ArrayStringReg::Save()
{
    const int slotCharacters = static_cast<int>(m_dwSlotSize / sizeof(WCHAR));
    std::vector<WCHAR> slot(slotCharacters + 1);
    return ArrayKey::Rewrite(m_hRoot, m_szKeyPath, GetCount(), REG_SZ, m_dwSlotSize, [&](int index) {
        std::fill(slot.begin(), slot.end(), WCHAR(0));
        const QString& text = m_strings[index];
        std::copy_n(text.utf16(), std::min<qsizetype>(text.size(), slotCharacters), slot.begin());
        return reinterpret_cast<const BYTE*>(slot.data());
    });
}

int ArrayStringReg::Add(const WCHAR* text)
{
    if (!text) return -1;
    m_strings.append(QString::fromUtf16(text));
    return GetCount() - 1;
}

void ArrayStringReg::InsertAt(int index, const WCHAR* text, DWORD length)
{
    if (!text || length != m_dwSlotSize || index < 0 || index > GetCount()) return;
    m_strings.insert(index, QString::fromUtf16(text));
}

BOOL ArrayStringReg::SetAt(int index, const WCHAR* text, DWORD length)
{
    if (!text || length != m_dwSlotSize || index < 0 || index >= GetCount()) return FALSE;
    m_strings[index] = QString::fromUtf16(text);
    return TRUE;
}

void ArrayStringReg::RemoveAt(int index)
{
    if (index >= 0 && index < GetCount()) m_strings.removeAt(index);
}
