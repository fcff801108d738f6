// Pictures of the dialogs: backgrounds sized to each dialog's layout, the
// caption buttons, the product icon and logo, the message box's nine parts
// and icons, the progress window's shape and the snapshot masks.
#include "Canvas.h"
#include "Families.h"
#include "Glyphs.h"
#include "Palette.h"

#include <cmath>

using namespace Canvas;

namespace {

constexpr int kCaption = 34;
constexpr int kFooter = 46;

// Caption buttons on the navy band; the close button turns red.
QImage CaptionButton(Glyphs::Kind kind, bool danger)
{
    return Strip(26, 22, 4, [=](QPainter& p, int state) {
        const QRectF face(1, 1, 24, 20);
        QColor glyph(0xC9, 0xD6, 0xE6);
        if (state == Hover || state == Pressed) {
            QColor fill = danger ? Palette::Error : QColor(255, 255, 255, 38);
            if (state == Pressed) fill = danger ? Palette::Error.darker(125) : QColor(0, 0, 0, 70);
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawRoundedRect(face, 4, 4);
            glyph = Qt::white;
        }
        if (state == Disabled) glyph.setAlpha(90);
        Glyphs::Draw(p, kind, QRectF(5, 3, 16, 16), glyph, 1.7);
    });
}

} // namespace

// The product mark: a disc with Albireo's two stars, gold and blue.
void DrawProductMark(QPainter& p, const QRectF& box)
{
    const qreal s = box.width();
    const QPointF c = box.center();
    QRadialGradient disc(c, s / 2);
    disc.setColorAt(0, Palette::TealLight);
    disc.setColorAt(0.7, Palette::Teal);
    disc.setColorAt(1, Palette::TealDark);
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(c, s * 0.46, s * 0.46);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawEllipse(c, s * 0.32, s * 0.32);
    p.setBrush(Palette::Navy);
    p.drawEllipse(c, s * 0.12, s * 0.12);
    p.setBrush(QColor(0xFF, 0xC8, 0x57));
    p.drawEllipse(c + QPointF(-s * 0.30, -s * 0.30), s * 0.11, s * 0.11);
    p.setBrush(QColor(0x8F, 0xC3, 0xFF));
    p.drawEllipse(c + QPointF(-s * 0.14, -s * 0.38), s * 0.07, s * 0.07);
}

namespace {

QImage ProductIcon(int size)
{
    QImage image = Blank(size, size);
    QPainter p(&image);
    Prepare(p);
    DrawProductMark(p, QRectF(0, 0, size, size));
    return image;
}

QImage ProductLogo()
{
    // A quiet wordmark, so that the centred caption stays the first thing read.
    QImage image = Blank(56, 18);
    QPainter p(&image);
    Prepare(p);
    p.setPen(QColor(0x9F, 0xB3, 0xCB));
    p.setFont(Face(12, QFont::DemiBold));
    p.drawText(QRectF(0, 0, 56, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Albireo"));
    return image;
}

// A faint disc drawn into a dialog body, as a watermark.
void Watermark(QPainter& p, const QPointF& centre, qreal radius)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    for (int ring = 0; ring < 5; ++ring) {
        p.setPen(QPen(QColor(0x14, 0x25, 0x3E, 10 + ring * 2), 1.0));
        p.drawEllipse(centre, radius * (1.0 - ring * 0.16), radius * (1.0 - ring * 0.16));
    }
    p.setPen(QPen(QColor(0x19, 0xB3, 0xA6, 40), 2));
    p.drawEllipse(centre, radius * 0.22, radius * 0.22);
    p.restore();
}

QImage AddTagBackground()
{
    QImage image = DialogSurface(315, 374, kCaption, kFooter);
    QPainter p(&image);
    Prepare(p);
    Card(p, QRectF(14, 38, 287, 234));
    return image;
}

QImage DiscInfoBackground()
{
    QImage image = DialogSurface(392, 446, kCaption, kFooter);
    QPainter p(&image);
    Prepare(p);
    Card(p, QRectF(24, 56, 344, 148));
    Card(p, QRectF(24, 210, 344, 136));
    Card(p, QRectF(24, 354, 344, 38));
    // A frame for the label picture.
    p.setPen(QPen(Palette::Hairline, 1));
    p.setBrush(Palette::Body);
    p.drawRoundedRect(QRectF(126.5, 214.5, 123, 123), 6, 6);
    return image;
}

QImage DiscLabelBackground()
{
    QImage image = DialogSurface(420, 482, kCaption, kFooter);
    QPainter p(&image);
    Prepare(p);
    Card(p, QRectF(22, 52, 376, 376), 10);
    return image;
}

QImage SnapshotBackground()
{
    QImage image = DialogSurface(546, 532, kCaption, kFooter);
    QPainter p(&image);
    Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::Ink);
    p.drawRoundedRect(QRectF(4, 34, 538, 404), 4, 4);
    Card(p, QRectF(486, 441, 55, 44), 5);
    return image;
}

QImage ImportBackground()
{
    QImage image = DialogSurface(400, 240, kCaption, kFooter);
    QPainter p(&image);
    Prepare(p);
    p.setClipRect(QRectF(0, kCaption, 400, 240 - kCaption - kFooter));
    Watermark(p, QPointF(356, 150), 90);
    return image;
}

// The message box's background is one surface cut into nine parts: the
// corners and edges keep their size, the middle stretches.
QImage MessagePart(int row, int column)
{
    const QImage whole = DialogSurface(56, 106, 28, kFooter, true);
    const int xs[3] = {0, 24, 32}, ws[3] = {24, 8, 24};
    const int ys[3] = {0, 40, 48}, hs[3] = {40, 8, 58};
    return Cut(whole, QRect(xs[column], ys[row], ws[column], hs[row]));
}

// The message icons: a coloured badge with a white sign and a soft shadow.
QImage MessageIcon(const QColor& colour, const QString& sign, bool triangle)
{
    QImage image = Blank(48, 48);
    QPainter p(&image);
    Prepare(p);
    QPainterPath badge;
    if (triangle) {
        badge.moveTo(24, 4);
        badge.lineTo(45, 41);
        badge.lineTo(3, 41);
        badge.closeSubpath();
        QPainterPathStroker rounder;
        rounder.setWidth(6);
        rounder.setJoinStyle(Qt::RoundJoin);
        badge = badge.united(rounder.createStroke(badge));
    } else {
        badge.addEllipse(QRectF(4, 3, 40, 40));
    }
    p.setPen(Qt::NoPen);
    p.fillPath(badge.translated(0, 2), QColor(0x14, 0x25, 0x3E, 40));
    QLinearGradient shade(0, 2, 0, 46);
    shade.setColorAt(0, colour.lighter(118));
    shade.setColorAt(1, colour.darker(108));
    p.fillPath(badge, shade);
    p.setPen(Qt::white);
    if (sign == QLatin1String("x")) {
        Glyphs::Draw(p, Glyphs::Close, QRectF(10, 9, 28, 28), Qt::white, 3.6);
    } else {
        p.setFont(Face(triangle ? 24 : 28, QFont::Bold));
        p.drawText(QRectF(0, triangle ? 10 : 3, 48, triangle ? 32 : 40), Qt::AlignCenter, sign);
    }
    return image;
}

// Pure blue outside the shape: the progress window is cut from it.
QImage ProgressBackground()
{
    const QImage surface = DialogSurface(468, 164, 32, kFooter);
    QImage keyed = Blank(468, 164, Palette::KeyBlue);
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) {
            const QColor pixel = surface.pixelColor(x, y);
            if (pixel.alpha() < 128) continue;
            // Edge pixels are finished over the outline colour.
            const qreal a = pixel.alphaF();
            keyed.setPixelColor(x, y, QColor::fromRgbF(pixel.redF() * a + Palette::Ink.redF() * (1 - a),
                                                       pixel.greenF() * a + Palette::Ink.greenF() * (1 - a),
                                                       pixel.blueF() * a + Palette::Ink.blueF() * (1 - a)));
        }
    return keyed;
}

// The label placeholder: an empty disc.
QImage Cover()
{
    QImage image = Blank(116, 116);
    QPainter p(&image);
    Prepare(p);
    const QPointF c(58, 58);
    QConicalGradient sheen(c, 30);
    sheen.setColorAt(0, QColor(0xE9, 0xEE, 0xF4));
    sheen.setColorAt(0.25, QColor(0xF9, 0xFB, 0xFD));
    sheen.setColorAt(0.5, QColor(0xDD, 0xE4, 0xEC));
    sheen.setColorAt(0.75, QColor(0xF6, 0xF8, 0xFB));
    sheen.setColorAt(1, QColor(0xE9, 0xEE, 0xF4));
    p.setPen(QPen(Palette::FieldEdge, 1));
    p.setBrush(sheen);
    p.drawEllipse(c, 55, 55);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xB8, 0xC4, 0xD2, 120), 1, Qt::DashLine));
    p.drawEllipse(c, 40, 40);
    p.setPen(QPen(Palette::FieldEdge, 1));
    p.setBrush(Palette::Body);
    p.drawEllipse(c, 16, 16);
    p.setBrush(Qt::white);
    p.drawEllipse(c, 7, 7);
    Glyphs::Draw(p, Glyphs::Plus, QRectF(50, 80, 16, 16), Palette::Muted, 1.6);
    return image;
}

// Over the live preview: the capture area (a disc) stays clear, the rest dims.
QImage PreviewMask()
{
    QImage image = Blank(536, 402);
    QPainter p(&image);
    Prepare(p);
    const QPointF c(268, 201);
    QPainterPath outside;
    outside.addRect(QRectF(0, 0, 536, 402));
    QPainterPath disc;
    disc.addEllipse(c, 190, 190);
    p.fillPath(outside.subtracted(disc), QColor(0x0C, 0x17, 0x27, 150));
    p.setPen(QPen(Palette::TealLight, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 190, 190);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1, Qt::DashLine));
    p.drawEllipse(c, 24, 24);
    return image;
}

// Where the snapshot frame shows: a disc with its centre hole.
QImage SnapshotMask()
{
    QImage image = Blank(380, 380);
    QPainter p(&image);
    Prepare(p);
    QPainterPath disc;
    disc.addEllipse(QPointF(190, 190), 189, 189);
    QPainterPath hole;
    hole.addEllipse(QPointF(190, 190), 22, 22);
    p.fillPath(disc.subtracted(hole), Qt::white);
    return image;
}

} // namespace

void AddDialogPictures(Pictures& out)
{
    out.push_back({QStringLiteral("Image\\Dialogs\\BaseDialog\\btn_caption_close.png"), [] { return CaptionButton(Glyphs::Close, true); }});
    out.push_back({QStringLiteral("Image\\Dialogs\\BaseDialog\\btn_caption_under.png"), [] { return CaptionButton(Glyphs::Minimise, false); }});
    out.push_back({QStringLiteral("Image\\Dialogs\\BaseDialog\\icon_product.png"), [] { return ProductIcon(24); }});
    out.push_back({QStringLiteral("Image\\Dialogs\\BaseDialog\\logo_product.png"), ProductLogo});
    out.push_back({QStringLiteral("Image\\icon\\icon_disk.png"), [] {
        QImage image = Blank(24, 24);
        QPainter p(&image);
        Prepare(p);
        Glyphs::Draw(p, Glyphs::Disc, QRectF(0, 0, 24, 24), Palette::TealLight, 2.0);
        return image;
    }});
    out.push_back({QStringLiteral("Image\\Albireo\\bg_addtag.png"), AddTagBackground});
    out.push_back({QStringLiteral("Image\\Albireo\\bg_DiscInfoDlg.png"), DiscInfoBackground});
    out.push_back({QStringLiteral("Image\\Albireo\\DiscLabel.png"), DiscLabelBackground});
    out.push_back({QStringLiteral("Image\\Albireo\\cover.png"), Cover});
    out.push_back({QStringLiteral("Image\\Marrowby\\bg_re_04.png"), ImportBackground});
    out.push_back({QStringLiteral("Image\\Dialogs\\SnapshotDlg\\bg_dialog_Label_Snapshot.png"), SnapshotBackground});
    out.push_back({QStringLiteral("Image\\Dialogs\\SnapshotDlg\\preview_mask.png"), PreviewMask});
    out.push_back({QStringLiteral("Image\\Dialogs\\SnapshotDlg\\snapshot_mask.png"), SnapshotMask});
    out.push_back({QStringLiteral("Image\\Dialogs\\SnapshotDlg\\transparent.png"), [] { return Blank(380, 380); }});
    out.push_back({QStringLiteral("Image\\Dialogs\\ProgressDialog\\bg_progress_dialog.png"), ProgressBackground});
    const char* rows[3] = {"top", "mid", "bot"};
    const char* columns[3] = {"left", "mid", "right"};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            out.push_back({QStringLiteral("Image\\Dialogs\\MessageBox\\bg_message_%1_%2.png")
                               .arg(QLatin1String(columns[column]), QLatin1String(rows[row])),
                           [row, column] { return MessagePart(row, column); }});
    out.push_back({QStringLiteral("Image\\Dialogs\\MessageBox\\icon_error.png"), [] { return MessageIcon(Palette::Error, QStringLiteral("x"), false); }});
    out.push_back({QStringLiteral("Image\\Dialogs\\MessageBox\\icon_warning.png"), [] { return MessageIcon(Palette::Warning, QStringLiteral("!"), true); }});
    out.push_back({QStringLiteral("Image\\Dialogs\\MessageBox\\icon_exclamation.png"), [] { return MessageIcon(Palette::Exclamation, QStringLiteral("!"), false); }});
    out.push_back({QStringLiteral("Image\\Dialogs\\MessageBox\\icon_question.png"), [] { return MessageIcon(Palette::Question, QStringLiteral("?"), false); }});
    out.push_back({QStringLiteral("Image\\Dialogs\\MessageBox\\icon_information.png"), [] { return MessageIcon(Palette::Information, QStringLiteral("i"), false); }});
}
