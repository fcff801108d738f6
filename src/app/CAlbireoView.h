// CAlbireoView: the view class that completes the program's document
// template. The main frame builds its panes from their own view classes,
// so no instance of it is made while the program runs; it stays as the
// base the template names.
#pragma once
#include "CView.h"

class CAlbireoView : public CView {
    Q_OBJECT
public:
    using CView::CView;
};
