// The document of a single-document program: no data of its own here, a
// switchboard to which the views are attached so that one view can tell the
// others that something changed.
#pragma once
#include "wintypes.h"

#include <vector>

class CView;
class QObject;

class CDocument {
public:
    virtual ~CDocument();

    // Called once when the program creates its document; TRUE to go on.
    virtual BOOL OnNewDocument() { return TRUE; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const { return m_views; }
    // Calls OnUpdate(sender, hint, hintObject) of every attached view but
    // the sender; a null sender notifies them all.
    void UpdateAllViews(CView* sender, LPARAM hint = 0, QObject* hintObject = nullptr);

private:
    std::vector<CView*> m_views;
};
