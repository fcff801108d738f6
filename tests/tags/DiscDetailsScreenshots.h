// Screenshots of the disc details dialogs for review, written to
// build/screenshots, and a made-up cover to show in them.
#pragma once
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

namespace DiscDetailsScreenshots {

inline bool Save(QWidget& window, const QString& name)
{
    QImage shot = window.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (!window.mask().isEmpty()) {
        QImage cut(shot.size(), QImage::Format_ARGB32_Premultiplied);
        cut.fill(Qt::transparent);
        QPainter painter(&cut);
        painter.setClipRegion(window.mask());
        painter.drawImage(0, 0, shot);
        shot = cut;
    }
    QDir().mkpath(QStringLiteral(ALBIREO_SCREENSHOT_DIR));
    return shot.save(QStringLiteral(ALBIREO_SCREENSHOT_DIR "/") + name);
}

// A cover scan: an evening sky with a sun and a title.
inline QImage Cover(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(0x1E, 0x3C, 0x72));
    sky.setColorAt(0.6, QColor(0xE0, 0x7A, 0x5F));
    sky.setColorAt(1, QColor(0xF2, 0xCC, 0x8F));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0xE8, 0xA3));
    painter.drawEllipse(QPointF(width * 0.5, height * 0.62), height * 0.12, height * 0.12);
    painter.setBrush(QColor(0x22, 0x30, 0x3F));
    painter.drawRect(QRectF(0, height * 0.72, width, height * 0.28));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(height / 11);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(0, height * 0.18, width, height * 0.2), Qt::AlignCenter, QStringLiteral("HOLIDAY 2024"));
    return image;
}

} // namespace DiscDetailsScreenshots
