#include "CView.h"

#include "CDocument.h"

CView::CView(QWidget* parent) : QWidget(parent) {}

CView::~CView() { SetDocument(nullptr); }

void CView::SetDocument(CDocument* document)
{
    if (m_pDocument == document) return;
    CDocument* former = m_pDocument;
    m_pDocument = nullptr;
    if (former) former->RemoveView(this);
    m_pDocument = document;
    if (document) document->AddView(this);
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
