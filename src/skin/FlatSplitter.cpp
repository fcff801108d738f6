#include "FlatSplitter.h"

#include <QPainter>
#include <QSplitterHandle>

namespace {

// A handle painted as one filled bar, without the style's grip.
class FlatHandle : public QSplitterHandle {
public:
    FlatHandle(Qt::Orientation orientation, QSplitter* parent, const QColor& colour)
        : QSplitterHandle(orientation, parent), m_colour(colour)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), m_colour); }

private:
    QColor m_colour;
};

} // namespace

FlatSplitter::FlatSplitter(Qt::Orientation orientation, const QColor& handleColour, QWidget* parent)
    : QSplitter(orientation, parent), m_handleColour(handleColour)
{
}

QSplitterHandle* FlatSplitter::createHandle() { return new FlatHandle(orientation(), this, m_handleColour); }
