// CAlbDataItem: one row of the file list (a disc, a folder, a file or a
// search group header), a node of a tree under the document's root item.
// The list asks for texts only when it paints, so rows hold what they show
// and nothing else. Lists too long to read whole (a search with hundreds
// of thousands of hits, a folder of as many entries) get children made on
// demand: a maker makes them a block at a time, the first time a row of
// the block is asked for, so only the rows looked at cost anything.
#pragma once
#include "wintypes.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class CAlbDataItem {
public:
    static constexpr DWORD kContainer = 0x2;
    static constexpr DWORD kFile = 0x4;
    static constexpr DWORD kDisc = 0x8;
    static constexpr int kSortColumns = 5;
    static constexpr int kBlockRows = 256;
    // Makes children first .. first + count - 1, appending them to `made`.
    using ChildMaker = std::function<void(int first, int count, std::vector<std::unique_ptr<CAlbDataItem>>& made)>;

    CAlbDataItem(int image, int discId, int itemId, const QString& name, const QString& text2, const QString& text3,
                 const QString& text4, DWORD flags, INT64 size);
    CAlbDataItem(const CAlbDataItem&) = delete;
    CAlbDataItem& operator=(const CAlbDataItem&) = delete;

    // Creates the child, appends it and returns it (owned by this item).
    CAlbDataItem* AddItem(int image, int discId, int itemId, const QString& name, const QString& text2,
                          const QString& text3, const QString& text4, DWORD flags, INT64 size);
    // Appends `child` and returns it (owned by this item).
    CAlbDataItem* AddChild(std::unique_ptr<CAlbDataItem> child);
    int ChildCount() const { return m_maker ? m_nMadeCount : int(m_children.size()); }
    // Null for an index out of range, or a row the maker could not make.
    CAlbDataItem* Child(int index) const;
    // From now on the children are made by `maker` on demand; `count` of
    // them exist now (children added before are dropped).
    void SetChildMaker(ChildMaker maker, int count);
    // More children exist now (the listing found more); never fewer.
    void GrowChildCount(int count);
    // Makes every child and keeps them (sorting reorders them all).
    void MakeAllChildren();
    // Children made on demand are shown in `order`: child i is the one the
    // maker makes at order[i] (a sort made without making them all); an
    // empty order changes nothing.
    void SetChildOrder(std::vector<int> order);
    CAlbDataItem* Parent() const { return m_pParent; }
    // Reorders the children (sorting); `order` is a permutation of the indexes.
    void ReorderChildren(const std::vector<int>& order);

    bool IsContainer() const { return m_dwFlags & kContainer; }
    bool IsFile() const { return m_dwFlags & kFile; }
    bool IsDisc() const { return m_dwFlags & kDisc; }

    // Per column: 1 ascending, -1 descending, 0 not sorted (kept on the root).
    int m_nSortState[kSortColumns] = {};
    int m_nDiscId;
    int m_nItemId;
    QString m_strItemName;
    QString m_strSpareText;
    int m_nImage;
    QString m_strName;
    QString m_strText2;
    QString m_strText3;
    QString m_strText4;
    DWORD m_dwFlags;
    DWORD m_dwWord1 = 0;
    DWORD m_dwWord2 = 0;
    INT64 m_nSize;
    // The time the date text was made from (a file time, or a disc's stored
    // date by ListTexts::DiscDateTime); -1 when the text is all there is.
    INT64 m_nTime = -1;

private:
    using Block = std::vector<std::unique_ptr<CAlbDataItem>>;
    CAlbDataItem* MadeChild(int index) const;
    CAlbDataItem* MadeAlone(Block& block, int index, int offset) const;

    CAlbDataItem* m_pParent = nullptr;
    std::vector<std::unique_ptr<CAlbDataItem>> m_children;
    ChildMaker m_maker;
    int m_nMadeCount = 0;
    mutable std::vector<Block> m_blocks;
    std::vector<int> m_order; // the maker's index of each child; empty: in the maker's order
};
