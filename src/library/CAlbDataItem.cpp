#include "CAlbDataItem.h"

CAlbDataItem::CAlbDataItem(int image, int discId, int itemId, const QString& name, const QString& text2,
                           const QString& text3, const QString& text4, DWORD flags, INT64 size)
    : m_nDiscId(discId), m_nItemId(itemId), m_nImage(image), m_strName(name), m_strText2(text2), m_strText3(text3),
      m_strText4(text4), m_dwFlags(flags), m_nSize(size)
{
}

CAlbDataItem* CAlbDataItem::AddItem(int image, int discId, int itemId, const QString& name, const QString& text2,
                                    const QString& text3, const QString& text4, DWORD flags, INT64 size)
{
    auto child = std::make_unique<CAlbDataItem>(image, discId, itemId, name, text2, text3, text4, flags, size);
    child->m_pParent = this;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

CAlbDataItem* CAlbDataItem::Child(int index) const
{
    return index >= 0 && index < ChildCount() ? m_children[size_t(index)].get() : nullptr;
}

void CAlbDataItem::ReorderChildren(const std::vector<int>& order)
{
    std::vector<std::unique_ptr<CAlbDataItem>> sorted;
    sorted.reserve(m_children.size());
    for (int index : order) sorted.push_back(std::move(m_children[size_t(index)]));
    m_children = std::move(sorted);
}
