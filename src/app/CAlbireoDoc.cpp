#include "CAlbireoDoc.h"

CAlbireoDoc::CAlbireoDoc() : m_pRootItem(NewRoot()) {}

CAlbireoDoc::~CAlbireoDoc()
{
    m_pRootItem.reset();
    m_nRootState = 0;
}

std::unique_ptr<CAlbDataItem> CAlbireoDoc::NewRoot()
{
    return std::make_unique<CAlbDataItem>(0, -1, -1, QString(), QString(), QString(),
                                          QStringLiteral("1/1/1970 00:00:00"), 0, -1);
}

void CAlbireoDoc::ResetRoot()
{
    m_pRootItem = NewRoot();
    m_nRootState = 0;
}
