// Pictures of the controls: buttons, check boxes, radio buttons, the combo
// box, the scroll bar, progress bars, edit fields and dividers.
#include "Canvas.h"
#include "Families.h"
#include "Glyphs.h"
#include "Palette.h"

using namespace Canvas;

namespace {

QImage PushButton()
{
    return Strip(136, 24, 4, [](QPainter& p, int state) {
        const QRectF face(0.5, 0.5, 135, 23);
        const QPainterPath shape = Rounded(face, 5);
        QColor top = Palette::NavyLight, bottom = Palette::Navy, edge = Palette::Ink;
        if (state == Hover) top = Palette::TealLight, bottom = Palette::Teal, edge = Palette::TealDark;
        if (state == Pressed) top = Palette::TealDark, bottom = Palette::Teal.darker(115), edge = Palette::TealDark.darker(130);
        if (state == Disabled) top = bottom = Palette::Disabled, edge = Palette::Disabled.darker(110);
        p.fillPath(shape, Vertical(face, top, bottom));
        if (state != Pressed && state != Disabled) {
            p.setPen(QPen(QColor(255, 255, 255, state == Hover ? 90 : 40), 1));
            p.drawLine(QPointF(5, 1.5), QPointF(131, 1.5));
        }
        p.setPen(QPen(edge, 1));
        p.drawPath(shape);
    });
}

// A small glyph button on a light surface: outlined at rest, teal when
// under the mouse or held.
QImage LightGlyphButton(int width, int height, Glyphs::Kind kind, qreal glyphSize)
{
    return Strip(width, height, 4, [=](QPainter& p, int state) {
        const QRectF face(0.5, 0.5, width - 1, height - 1);
        const QPainterPath shape = Rounded(face, 5);
        QColor fill = Palette::Field, edge = Palette::FieldEdge, glyph = Palette::TealDark;
        if (state == Hover) fill = Palette::Teal, edge = Palette::TealDark, glyph = Qt::white;
        if (state == Pressed) fill = Palette::TealDark, edge = Palette::TealDark.darker(120), glyph = Qt::white;
        if (state == Disabled) fill = Palette::BodyLow, edge = Palette::Hairline, glyph = Palette::Disabled;
        p.fillPath(shape, fill);
        p.setPen(QPen(edge, 1));
        p.drawPath(shape);
        QRectF box(0, 0, glyphSize, glyphSize);
        box.moveCenter(face.center());
        Glyphs::Draw(p, kind, box, glyph, glyphSize / 10.0);
    });
}

// The tag row's delete button: a quiet trash can that turns red.
QImage DeleteTagButton()
{
    return Strip(18, 18, 4, [](QPainter& p, int state) {
        QColor glyph = Palette::Muted;
        if (state == Hover || state == Pressed) {
            p.setPen(Qt::NoPen);
            p.setBrush(state == Hover ? Palette::Error : Palette::Error.darker(125));
            p.drawEllipse(QRectF(0.5, 0.5, 17, 17));
            glyph = Qt::white;
        }
        if (state == Disabled) glyph = Palette::Disabled;
        Glyphs::Draw(p, Glyphs::Trash, QRectF(2, 2, 14, 14), glyph, 1.4);
    });
}

QImage TagAllButton()
{
    return Strip(16, 16, 4, [](QPainter& p, int state) {
        const QColor colours[4] = {Palette::NavyLight, Palette::Teal, Palette::TealDark, Palette::Disabled};
        Glyphs::Draw(p, Glyphs::All, QRectF(0, 0, 16, 16), colours[state], 1.0);
    });
}

QImage CaptureButton()
{
    return Strip(47, 47, 4, [](QPainter& p, int state) {
        const QRectF ring(1.5, 1.5, 44, 44);
        QColor fill = Palette::Teal;
        if (state == Hover) fill = Palette::TealLight;
        if (state == Pressed) fill = Palette::TealDark;
        if (state == Disabled) fill = Palette::Disabled;
        p.setPen(QPen(state == Disabled ? Palette::Disabled : Palette::Navy, 3));
        p.setBrush(Palette::Field);
        p.drawEllipse(ring);
        p.setPen(Qt::NoPen);
        p.setBrush(Vertical(ring, fill.lighter(110), fill.darker(110)));
        p.drawEllipse(ring.adjusted(5, 5, -5, -5));
        Glyphs::Draw(p, Glyphs::Camera, QRectF(12.5, 12.5, 22, 22), Qt::white, 2.0);
    });
}

// A check box strip: four unchecked frames, then four checked.
QImage CheckStrip(int frame, int box, bool round)
{
    return Strip(frame, frame, 8, [=](QPainter& p, int index) {
        const int state = index % 4;
        const bool checked = index >= 4;
        QRectF face((frame - box) / 2.0 + 0.5, (frame - box) / 2.0 + 0.5, box - 1, box - 1);
        const QPainterPath shape = round ? [&] { QPainterPath c; c.addEllipse(face); return c; }() : Rounded(face, box / 5.0);
        QColor fill = Palette::Field, edge = Palette::FieldEdge;
        if (state == Hover) edge = Palette::Teal;
        if (state == Pressed) fill = QColor(0xE3, 0xF6, 0xF4), edge = Palette::TealDark;
        if (state == Disabled) fill = Palette::BodyLow, edge = Palette::Hairline;
        if (checked && !round) {
            fill = state == Hover ? Palette::TealLight : state == Pressed ? Palette::TealDark : Palette::Teal;
            edge = fill.darker(112);
            if (state == Disabled) fill = Palette::Disabled, edge = Palette::Disabled;
        }
        if (checked && round) edge = state == Disabled ? Palette::Disabled : Palette::Teal;
        p.fillPath(shape, fill);
        p.setPen(QPen(edge, checked && round ? 1.6 : 1.0));
        p.drawPath(shape);
        if (!checked) return;
        if (round) {
            p.setPen(Qt::NoPen);
            p.setBrush(state == Disabled ? Palette::Disabled : state == Pressed ? Palette::TealDark : Palette::Teal);
            p.drawEllipse(face.center(), box * 0.22, box * 0.22);
        } else {
            Glyphs::Draw(p, Glyphs::Check, face.adjusted(1, 1, -1, -1), Qt::white, box / 8.0);
        }
    });
}

// State pictures of the tag filter list: unticked, ticked, fixed.
QImage FilterStates()
{
    const QImage boxes = CheckStrip(16, 14, false);
    QImage states = Blank(48, 16);
    QPainter p(&states);
    p.drawImage(0, 0, Cut(boxes, QRect(0, 0, 16, 16)));
    p.drawImage(16, 0, Cut(boxes, QRect(4 * 16, 0, 16, 16)));
    p.drawImage(32, 0, Cut(boxes, QRect(7 * 16, 0, 16, 16)));
    return states;
}

QImage ComboBox()
{
    return Strip(216, 24, 4, [](QPainter& p, int state) {
        const QRectF face(0.5, 0.5, 215, 23);
        const QPainterPath shape = Rounded(face, 4);
        QColor fill = Palette::Field, edge = Palette::FieldEdge, arrow = Palette::NavyLight;
        if (state == Hover) edge = Palette::Teal;
        if (state == Pressed) fill = QColor(0xF0, 0xFA, 0xF9), edge = Palette::TealDark, arrow = Palette::TealDark;
        if (state == Disabled) fill = Palette::BodyLow, edge = Palette::Hairline, arrow = Palette::Disabled;
        p.fillPath(shape, fill);
        p.setPen(QPen(edge, 1));
        p.drawPath(shape);
        p.setPen(QPen(Palette::Hairline, 1));
        p.drawLine(QPointF(189.5, 5), QPointF(189.5, 19));
        QPainterPath chevron;
        chevron.moveTo(198, 10);
        chevron.lineTo(202.5, 14.5);
        chevron.lineTo(207, 10);
        p.setPen(QPen(arrow, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(chevron);
    });
}

QImage ComboItem()
{
    return Strip(216, 24, 2, [](QPainter& p, int frame) {
        if (frame == 0) {
            p.fillRect(QRectF(0, 0, 216, 24), Palette::Field);
            p.fillRect(QRectF(0, 23, 216, 1), QColor(0xEE, 0xF2, 0xF6));
        } else {
            p.fillRect(QRectF(0, 0, 216, 24), Vertical(QRectF(0, 0, 216, 24), Palette::Teal, Palette::TealDark));
        }
    });
}

QImage ScrollArrow(bool up)
{
    return Strip(14, 14, 4, [up](QPainter& p, int state) {
        QColor glyph = Palette::Muted;
        if (state == Hover || state == Pressed) {
            p.setPen(Qt::NoPen);
            p.setBrush(state == Hover ? Palette::Hairline : Palette::Teal);
            p.drawRoundedRect(QRectF(1, 1, 12, 12), 3, 3);
            glyph = state == Hover ? Palette::NavyLight : Qt::white;
        }
        if (state == Disabled) glyph = Palette::Disabled;
        QPainterPath chevron;
        const qreal tip = up ? 5 : 9, base = up ? 8.5 : 5.5;
        chevron.moveTo(4, base);
        chevron.lineTo(7, tip);
        chevron.lineTo(10, base);
        p.setPen(QPen(glyph, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(chevron);
    });
}

QImage ScrollThumb()
{
    return Strip(14, 40, 4, [](QPainter& p, int state) {
        const QColor colours[4] = {QColor(0xA9, 0xB7, 0xC8), QColor(0x81, 0x93, 0xAA), Palette::Teal,
                                   QColor(0xD5, 0xDC, 0xE5)};
        p.setPen(Qt::NoPen);
        p.setBrush(colours[state]);
        p.drawRoundedRect(QRectF(3, 1, 8, 38), 4, 4);
    });
}

QImage ScrollTrack()
{
    QImage image = Blank(14, 120);
    QPainter p(&image);
    Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE8, 0xED, 0xF3));
    p.drawRoundedRect(QRectF(3, 0, 8, 120), 4, 4);
    return image;
}

QImage ProgressTrack(int width, int height)
{
    QImage image = Blank(width, height);
    QPainter p(&image);
    Prepare(p);
    const QRectF face(0.5, 0.5, width - 1, height - 1);
    p.setPen(QPen(Palette::Hairline, 1));
    p.setBrush(Vertical(face, QColor(0xDC, 0xE3, 0xEB), QColor(0xEC, 0xF0, 0xF5)));
    p.drawRoundedRect(face, height / 2.0, height / 2.0);
    return image;
}

QImage ProgressFill(int width, int height)
{
    QImage image = Blank(width, height);
    QPainter p(&image);
    Prepare(p);
    const QRectF face(0.5, 0.5, width - 1, height - 1);
    const QPainterPath shape = Rounded(face, height / 2.0);
    QLinearGradient across(face.topLeft(), face.topRight());
    across.setColorAt(0, Palette::TealDark);
    across.setColorAt(1, Palette::TealLight);
    p.fillPath(shape, across);
    p.setClipPath(shape);
    // Soft diagonal bands give the fill some motion.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 28));
    for (qreal x = -height; x < width + height; x += height * 1.4) {
        QPainterPath band;
        band.moveTo(x, height);
        band.lineTo(x + height * 0.6, height);
        band.lineTo(x + height * 1.3, 0);
        band.lineTo(x + height * 0.7, 0);
        band.closeSubpath();
        p.drawPath(band);
    }
    p.fillRect(QRectF(0, 0, width, height * 0.45), QColor(255, 255, 255, 45));
    return image;
}

QImage InputField(int width, int height)
{
    QImage image = Blank(width, height);
    QPainter p(&image);
    Prepare(p);
    const QRectF face(0.5, 0.5, width - 1, height - 1);
    p.setPen(QPen(Palette::FieldEdge, 1));
    p.setBrush(Palette::Field);
    p.drawRoundedRect(face, 4, 4);
    p.setPen(QPen(QColor(0, 0, 0, 14), 1));
    p.drawLine(QPointF(4, 1.5), QPointF(width - 4, 1.5));
    return image;
}

// The keyboard focus ring, a nine-part picture stretched over the focused
// control: a teal outline on the control's edge with a light inner line, so
// that it shows on the navy buttons and on the white fields alike. Its
// corners follow the buttons' rounding; `scale` draws it for larger layouts.
QImage FocusRing(qreal scale)
{
    const int size = qRound(16 * scale);
    QImage image = Blank(size, size);
    QPainter p(&image);
    Prepare(p);
    const qreal line = 2 * scale;
    const QRectF outer(line / 2, line / 2, size - line, size - line);
    p.setPen(QPen(Palette::Teal, line));
    p.drawRoundedRect(outer, 5 * scale, 5 * scale);
    const qreal inner = scale;
    const QRectF light = outer.adjusted(line / 2 + inner / 2, line / 2 + inner / 2, -line / 2 - inner / 2,
                                        -line / 2 - inner / 2);
    p.setPen(QPen(QColor(255, 255, 255, 210), inner));
    p.drawRoundedRect(light, 4 * scale, 4 * scale);
    return image;
}

QImage Divider()
{
    QImage image = Blank(257, 2);
    QPainter p(&image);
    p.fillRect(0, 0, 257, 1, Palette::Hairline);
    p.fillRect(0, 1, 257, 1, Qt::white);
    return image;
}

} // namespace

void AddControlPictures(Pictures& out)
{
    out.push_back({QStringLiteral("Image\\Common\\button\\btn.png"), PushButton});
    out.push_back({QStringLiteral("Image\\Albireo\\btn_add_tag.png"), [] { return LightGlyphButton(44, 24, Glyphs::Plus, 16); }});
    out.push_back({QStringLiteral("Image\\Albireo\\btn_add_cover.png"), [] { return LightGlyphButton(44, 24, Glyphs::Camera, 18); }});
    out.push_back({QStringLiteral("Image\\Albireo\\btn_delete_tag.png"), DeleteTagButton});
    out.push_back({QStringLiteral("Image\\Albireo\\btn_tag_all.png"), TagAllButton});
    out.push_back({QStringLiteral("Image\\Dialogs\\SnapshotDlg\\btn_capture.png"), CaptureButton});
    out.push_back({QStringLiteral("Image\\Common\\checkbox\\btn_check-box.png"), [] { return CheckStrip(20, 16, false); }});
    out.push_back({QStringLiteral("Image\\checkbox.png"), [] { return CheckStrip(16, 14, false); }});
    out.push_back({QStringLiteral("Image\\radiobtn.png"), [] { return CheckStrip(16, 14, true); }});
    out.push_back({QStringLiteral("Image\\checkbox_white.png"), FilterStates});
    out.push_back({QStringLiteral("Image\\Common\\combobox\\combo_216_24.png"), ComboBox});
    out.push_back({QStringLiteral("Image\\Common\\combobox\\comboitembk.jpg"), ComboItem});
    out.push_back({QStringLiteral("Image\\Common\\scrollbar\\up.png"), [] { return ScrollArrow(true); }});
    out.push_back({QStringLiteral("Image\\Common\\scrollbar\\down.png"), [] { return ScrollArrow(false); }});
    out.push_back({QStringLiteral("Image\\Common\\scrollbar\\thumb_v.png"), ScrollThumb});
    out.push_back({QStringLiteral("Image\\Common\\scrollbar\\bg_v_120.png"), ScrollTrack});
    out.push_back({QStringLiteral("Image\\Common\\progressCtrl\\progress_bg.png"), [] { return ProgressTrack(200, 12); }});
    out.push_back({QStringLiteral("Image\\Common\\progressCtrl\\progress_unit.png"), [] { return ProgressFill(200, 12); }});
    out.push_back({QStringLiteral("Image\\Common\\progressCtrl\\progress_bg_438.png"), [] { return ProgressTrack(438, 28); }});
    out.push_back({QStringLiteral("Image\\Common\\progressCtrl\\progress_unit_438.png"), [] { return ProgressFill(438, 28); }});
    out.push_back({QStringLiteral("Image\\common\\edit\\input_bg_231.png"), [] { return InputField(231, 24); }});
    out.push_back({QStringLiteral("Image\\Albireo\\divider.png"), Divider});
    out.push_back({QStringLiteral("Image\\Common\\focus\\focus_ring.png"), [] { return FocusRing(1.0); }});
    out.push_back({QStringLiteral("Image\\Common\\focus\\focus_ring_150.png"), [] { return FocusRing(1.5); }});
}
