#include "CDocument.h"

#include "CView.h"

#include <algorithm>

CDocument::~CDocument()
{
    // Views outlive nothing of the document: they forget it.
    const std::vector<CView*> views = m_views;
    for (CView* view : views) view->SetDocument(nullptr);
}

void CDocument::AddView(CView* view)
{
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
}

void CDocument::RemoveView(CView* view) { std::erase(m_views, view); }

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, QObject* hintObject)
{
    // A view may detach itself or another while it updates: walk a copy.
    const std::vector<CView*> views = m_views;
    for (CView* view : views)
        if (view != sender && std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnUpdate(sender, hint, hintObject);
}
