#include "CAlbDataItem.h"

#include <algorithm>

CAlbDataItem::CAlbDataItem(int image, int discId, int itemId, const QString& name, const QString& text2,
                           const QString& text3, const QString& text4, DWORD flags, INT64 size)
    : m_nDiscId(discId), m_nItemId(itemId), m_nImage(image), m_strName(name), m_strText2(text2), m_strText3(text3),
      m_strText4(text4), m_dwFlags(flags), m_nSize(size)
{
}

CAlbDataItem* CAlbDataItem::AddItem(int image, int discId, int itemId, const QString& name, const QString& text2,
                                    const QString& text3, const QString& text4, DWORD flags, INT64 size)
{
    return AddChild(std::make_unique<CAlbDataItem>(image, discId, itemId, name, text2, text3, text4, flags, size));
}

CAlbDataItem* CAlbDataItem::AddChild(std::unique_ptr<CAlbDataItem> child)
{
    child->m_pParent = this;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

CAlbDataItem* CAlbDataItem::Child(int index) const
{
    if (index < 0 || index >= ChildCount()) return nullptr;
    if (!m_maker) return m_children[size_t(index)].get();
    return MadeChild(size_t(index) < m_order.size() ? m_order[size_t(index)] : index);
}

CAlbDataItem* CAlbDataItem::MadeChild(int index) const
{
    const size_t blockIndex = size_t(index / kBlockRows);
    if (m_blocks.size() <= blockIndex) m_blocks.resize(blockIndex + 1);
    Block& block = m_blocks[blockIndex];
    const int offset = index % kBlockRows;
    if (!m_order.empty()) return MadeAlone(block, index, offset);
    if (int(block.size()) <= offset) {
        // The block is made up to the rows that exist now; a block made
        // while fewer existed is completed.
        const int first = int(blockIndex) * kBlockRows + int(block.size());
        const int end = std::min(m_nMadeCount, int(blockIndex + 1) * kBlockRows);
        const size_t made = block.size();
        m_maker(first, end - first, block);
        for (size_t row = made; row < block.size(); ++row) block[row]->m_pParent = const_cast<CAlbDataItem*>(this);
    }
    return offset < int(block.size()) ? block[size_t(offset)].get() : nullptr;
}

// In a sorted order the rows on screen are far apart in the maker's order:
// each is made alone, not with the block around it.
CAlbDataItem* CAlbDataItem::MadeAlone(Block& block, int index, int offset) const
{
    if (int(block.size()) <= offset) block.resize(size_t(offset) + 1);
    if (!block[size_t(offset)] && index < m_nMadeCount) {
        Block one;
        m_maker(index, 1, one);
        if (!one.empty()) {
            one.front()->m_pParent = const_cast<CAlbDataItem*>(this);
            block[size_t(offset)] = std::move(one.front());
        }
    }
    return block[size_t(offset)].get();
}

void CAlbDataItem::SetChildMaker(ChildMaker maker, int count)
{
    m_children.clear();
    m_blocks.clear();
    m_order.clear();
    m_maker = std::move(maker);
    m_nMadeCount = std::max(0, count);
}

void CAlbDataItem::SetChildOrder(std::vector<int> order)
{
    if (!order.empty()) m_order = std::move(order);
}

void CAlbDataItem::GrowChildCount(int count) { m_nMadeCount = std::max(m_nMadeCount, count); }

void CAlbDataItem::MakeAllChildren()
{
    if (!m_maker) return;
    std::vector<std::unique_ptr<CAlbDataItem>> all;
    all.reserve(size_t(m_nMadeCount));
    for (int row = 0; row < m_nMadeCount; ++row) {
        const int index = size_t(row) < m_order.size() ? m_order[size_t(row)] : row;
        CAlbDataItem* child = MadeChild(index);
        if (!child) break;
        Block& block = m_blocks[size_t(index / kBlockRows)];
        all.push_back(std::move(block[size_t(index % kBlockRows)]));
    }
    m_blocks.clear();
    m_order.clear();
    m_maker = nullptr;
    m_children = std::move(all);
}

void CAlbDataItem::ReorderChildren(const std::vector<int>& order)
{
    MakeAllChildren();
    std::vector<std::unique_ptr<CAlbDataItem>> sorted;
    sorted.reserve(m_children.size());
    for (int index : order) sorted.push_back(std::move(m_children[size_t(index)]));
    m_children = std::move(sorted);
}
