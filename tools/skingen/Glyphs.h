// Line glyphs of the skin, drawn into a square with round caps so that they
// stay crisp from 12 to 48 pixels.
#pragma once
#include <QColor>
#include <QRectF>

class QPainter;

namespace Glyphs {

enum Kind {
    Close, Minimise, Maximise, Restore, Back, Import, Refresh, LargeIcons, SmallIcons, Details,
    Search, Tag, Plus, Trash, Camera, Check, Star, Help, Disc, All, Upgrade
};

// Draws the glyph centred in `box` with strokes of `stroke` pixels.
void Draw(QPainter& painter, Kind kind, const QRectF& box, const QColor& colour, qreal stroke);

} // namespace Glyphs
