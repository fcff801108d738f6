// A splitter whose handles are plain bars of one colour.
//
// It stands in for a style sheet on the splitter ("QSplitter::handle {
// background: ... }"), which would put every widget inside the splitter under
// Qt's style-sheet style; that style keeps the face a widget had when it was
// first polished, so the list's column titles would stay at their 1.0 size
// when the window's face grows with the layout scale.
#pragma once

#include <QColor>
#include <QSplitter>

class FlatSplitter : public QSplitter {
public:
    FlatSplitter(Qt::Orientation orientation, const QColor& handleColour, QWidget* parent);

protected:
    QSplitterHandle* createHandle() override;

private:
    QColor m_handleColour;
};
