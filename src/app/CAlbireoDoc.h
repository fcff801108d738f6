// CAlbireoDoc: the one document the three panes are attached to. It holds
// no library data (the library engine does); its one piece of state is the
// item standing for the top of the browsing hierarchy, which the file list
// view fills with the rows it shows.
#pragma once
#include "CAlbDataItem.h"
#include "CDocument.h"

#include <memory>

class CAlbireoDoc : public CDocument {
public:
    // Hints of UpdateAllViews.
    static constexpr LPARAM kHintListChanged = 1;
    static constexpr LPARAM kHintLibraryChanged = 2;

    CAlbireoDoc();
    ~CAlbireoDoc() override;

    // Replaces the root item by a new, empty one (the old one and its rows are destroyed).
    void ResetRoot();
    CAlbDataItem* GetRootItem() const { return m_pRootItem.get(); }
    int RootState() const { return m_nRootState; }

private:
    static std::unique_ptr<CAlbDataItem> NewRoot();

    std::unique_ptr<CAlbDataItem> m_pRootItem;
    int m_nRootState = 0;
};
