// Pictures of the main window: the caption and border pieces (pure blue
// is outside the window), the icon and logo, the caption buttons, the
// search box (magenta is outside it) and the command bar's buttons.
#include "Canvas.h"
#include "Families.h"
#include "Glyphs.h"
#include "Palette.h"

using namespace Canvas;

namespace {

constexpr int kBand = 43;
constexpr int kSide = 10;
constexpr int kBottom = 6;

QColor Over(const QColor& pixel, const QColor& under)
{
    const qreal a = pixel.alphaF();
    return QColor::fromRgbF(pixel.redF() * a + under.redF() * (1 - a), pixel.greenF() * a + under.greenF() * (1 - a),
                            pixel.blueF() * a + under.blueF() * (1 - a));
}

// Opaque where the picture is at least half covered, the key colour elsewhere.
QImage Keyed(const QImage& picture, const QColor& key, const QColor& edge)
{
    const QSize size = LogicalSize(picture);
    QImage keyed = Blank(size.width(), size.height(), key);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            if (pixel.alpha() >= 128) keyed.setPixelColor(x, y, Over(pixel, edge));
        }
    return keyed;
}

void CaptionBand(QPainter& p, qreal width)
{
    const QRectF band(0, 0, width, kBand);
    p.fillRect(band, Vertical(band, Palette::NavyLight, Palette::Navy));
    p.fillRect(QRectF(0, 0, width, kBand / 2.0), QColor(255, 255, 255, 10));
    p.fillRect(QRectF(0, kBand - 2, width, 2), Palette::Teal);
}

constexpr int kSampleWidth = 40;
constexpr int kSampleHeight = kBand + 8 + kBottom;

// A small window drawn whole; the border pieces are cut out of it.
QImage FrameSample()
{
    const int width = kSampleWidth, height = kSampleHeight;
    QImage whole = Blank(width, height);
    QPainter p(&whole);
    Prepare(p);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0, 0, width, height + 10), 9, 9);
    QPainterPath bottom;
    bottom.addRoundedRect(QRectF(0, -10, width, height + 10), 5, 5);
    p.setClipPath(shape.intersected(bottom));
    p.fillRect(QRectF(0, 0, width, height), Palette::Navy);
    CaptionBand(p, width);
    p.fillRect(QRectF(kSide - 1, kBand, width - 2 * kSide + 2, height - kBand - kBottom + 1), Palette::NavyEdge);
    p.fillRect(QRectF(kSide, kBand, width - 2 * kSide, height - kBand - kBottom), Palette::Body);
    p.setClipping(false);
    p.end();
    return Keyed(whole, Palette::KeyBlue, Palette::Ink);
}

QImage Piece(const QRect& cut) { return Cut(FrameSample(), cut); }

// The window icon stands on the caption's own colours.
QImage FrameIcon()
{
    QImage image = Blank(32, 32);
    QPainter p(&image);
    Prepare(p);
    p.translate(0, -5);
    CaptionBand(p, 32);
    p.translate(0, 5);
    DrawProductMark(p, QRectF(2, 2, 28, 28));
    return image;
}

QImage FrameLogo()
{
    QImage image = Blank(102, 30);
    QPainter p(&image);
    Prepare(p);
    p.setPen(Qt::white);
    p.setFont(Face(19, QFont::DemiBold));
    p.drawText(QRectF(0, 0, 102, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Albireo"));
    return image;
}

// Caption buttons of the main window: normal, under the mouse, pressed.
QImage FrameCaptionButton(Glyphs::Kind kind, bool danger, bool notice)
{
    return Strip(30, 24, 3, [=](QPainter& p, int state) {
        const QRectF face(1, 1, 28, 22);
        QColor glyph(0xC9, 0xD6, 0xE6);
        if (state > 0) {
            QColor fill = danger ? Palette::Error : QColor(255, 255, 255, 38);
            if (state == 2) fill = danger ? Palette::Error.darker(125) : QColor(0, 0, 0, 70);
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawRoundedRect(face, 5, 5);
            glyph = Qt::white;
        }
        Glyphs::Draw(p, kind, QRectF(7, 4, 16, 16), notice ? QColor(0xFF, 0xC8, 0x57) : glyph, 1.7);
    });
}

void SearchPill(QPainter& p, const QRectF& rect)
{
    p.setPen(QPen(Palette::Ink, 1));
    p.setBrush(Vertical(rect, Palette::NavyLight, Palette::Navy));
    p.drawRoundedRect(rect, rect.height() / 2, rect.height() / 2);
}

QImage SearchBox()
{
    QImage image = Blank(236, 20);
    QPainter p(&image);
    Prepare(p);
    SearchPill(p, QRectF(0.5, 0.5, 235, 19));
    Glyphs::Draw(p, Glyphs::Search, QRectF(4, 3, 14, 14), Palette::TealLight, 1.6);
    p.end();
    return Keyed(image, Palette::KeyMagenta, Palette::Navy);
}

QImage SearchField()
{
    QImage image = Blank(186, 16);
    QPainter p(&image);
    p.fillRect(QRectF(0, 0, 186, 16), Vertical(QRectF(-2, -2, 186, 20), Palette::NavyLight, Palette::Navy));
    return image;
}

QImage SearchClear()
{
    return Strip(24, 18, 4, [](QPainter& p, int state) {
        QColor glyph(0x8F, 0xA6, 0xC4);
        if (state == Hover || state == Pressed) {
            p.setPen(Qt::NoPen);
            p.setBrush(state == Hover ? Palette::NavyEdge : Palette::Teal);
            p.drawEllipse(QRectF(4, 1, 16, 16));
            glyph = Qt::white;
        }
        if (state == Disabled) glyph = Palette::NavyEdge;
        Glyphs::Draw(p, Glyphs::Close, QRectF(6, 3, 12, 12), glyph, 1.6);
    });
}

// Command bar buttons on the light bar: a navy glyph that gains a white
// tile under the mouse and turns teal when held.
QImage CommandButton(Glyphs::Kind kind, qreal scale)
{
    const int side = qRound(23 * scale);
    return Strip(side, side, 4, [=](QPainter& p, int state) {
        const QRectF face(0.5, 0.5, side - 1, side - 1);
        QColor glyph = Palette::NavyLight;
        if (state == Hover) {
            p.setPen(QPen(Palette::Hairline, 1));
            p.setBrush(Palette::Field);
            p.drawRoundedRect(face, 4 * scale, 4 * scale);
            glyph = Palette::TealDark;
        }
        if (state == Pressed) {
            p.setPen(Qt::NoPen);
            p.setBrush(Palette::Teal);
            p.drawRoundedRect(face, 4 * scale, 4 * scale);
            glyph = Qt::white;
        }
        if (state == Disabled) glyph = QColor(0xA9, 0xB4, 0xC2);
        const qreal inset = 3.5 * scale;
        Glyphs::Draw(p, kind, face.adjusted(inset, inset, -inset, -inset), glyph, 1.6 * scale);
    });
}

} // namespace

void AddMainFramePictures(Pictures& out)
{
    const int w = kSampleWidth, h = kSampleHeight;
    const struct { const char* name; QRect cut; } pieces[] = {
        {"01", QRect(0, 0, 12, kBand)},           {"02", QRect(12, 0, 4, kBand)},
        {"03", QRect(w - 12, 0, 12, kBand)},      {"04", QRect(0, kBand, kSide, 4)},
        {"06", QRect(w - kSide, kBand, kSide, 4)}, {"07", QRect(0, h - kBottom, kSide, kBottom)},
        {"08", QRect(kSide, h - kBottom, 4, kBottom)}, {"09", QRect(w - kSide, h - kBottom, kSide, kBottom)},
    };
    for (const auto& piece : pieces) {
        const QRect cut = piece.cut;
        out.push_back({QStringLiteral("Image\\MainFrame\\bg_viviVov_%1.png").arg(QLatin1String(piece.name)),
                       [cut] { return Piece(cut); }});
    }
    out.push_back({QStringLiteral("Image\\MainFrame\\icon_flw_non_alpha.png"), FrameIcon});
    out.push_back({QStringLiteral("Image\\MainFrame\\vodidar_Flw.png"), FrameLogo});
    out.push_back({QStringLiteral("Image\\MainFrame\\searchBarAndIcon.png"), SearchBox});
    out.push_back({QStringLiteral("Image\\MainFrame\\searchBar_keyIn.png"), SearchField});
    out.push_back({QStringLiteral("Image\\MainFrame\\btn_searchGo.png"), SearchClear});
    const struct { const char* name; Glyphs::Kind kind; bool danger; bool notice; } captions[] = {
        {"close", Glyphs::Close, true, false},      {"max", Glyphs::Maximise, false, false},
        {"restore", Glyphs::Restore, false, false}, {"min", Glyphs::Minimise, false, false},
        {"upgrade", Glyphs::Star, false, false},    {"upgrade_notice", Glyphs::Upgrade, false, true},
        {"help", Glyphs::Help, false, false},
    };
    for (const auto& caption : captions)
        out.push_back({QStringLiteral("Image\\MainFrame\\btn_caption_%1.png").arg(QLatin1String(caption.name)),
                       [caption] { return FrameCaptionButton(caption.kind, caption.danger, caption.notice); }});
}

// The About box: the product mark large on the left, a card for the texts.
QImage AboutBackground()
{
    QImage image = DialogSurface(420, 252, 34, 46);
    QPainter p(&image);
    Prepare(p);
    Card(p, QRectF(14, 44, 392, 156));
    DrawProductMark(p, QRectF(32, 74, 88, 88));
    return image;
}

void AddCommandViewPictures(Pictures& out)
{
    out.push_back({QStringLiteral("Image\\Albireo\\bg_about.png"), AboutBackground});
    const struct { const char* name; Glyphs::Kind kind; } buttons[] = {
        {"back", Glyphs::Back},           {"import", Glyphs::Import},   {"refresh", Glyphs::Refresh},
        {"large_icons", Glyphs::LargeIcons}, {"small_icons", Glyphs::SmallIcons}, {"details", Glyphs::Details},
        {"search", Glyphs::Search},       {"tags", Glyphs::Tag},         {"default", Glyphs::Star},
    };
    for (const auto& button : buttons) {
        const Glyphs::Kind kind = button.kind;
        out.push_back({QStringLiteral("Image\\CommandView\\btn_%1.png").arg(QLatin1String(button.name)),
                       [kind] { return CommandButton(kind, 1.0); }});
        out.push_back({QStringLiteral("Image\\CommandView\\btn_%1_150.png").arg(QLatin1String(button.name)),
                       [kind] { return CommandButton(kind, 1.5); }});
    }
}
