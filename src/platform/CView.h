// A view of the document: a pane that shows part of the program's state
// and hears of changes through OnUpdate.
#pragma once
#include "wintypes.h"

#include <QWidget>

class CDocument;

class CView : public QWidget {
    Q_OBJECT
public:
    explicit CView(QWidget* parent = nullptr);
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // Attaches the view to the document (detaching it from a former one).
    void SetDocument(CDocument* document);

    // Once, after the frame is built: the default runs OnUpdate(null, 0, null).
    virtual void OnInitialUpdate();
    // Another view changed something; `hint` tells what.
    virtual void OnUpdate(CView* sender, LPARAM hint, QObject* hintObject) {}

private:
    CDocument* m_pDocument = nullptr;
};
