#include "TextFit.h"

#include <QAbstractButton>
#include <QLabel>

namespace TextFit {

namespace {

QString Shown(const QString& text) { return QString(text).remove(u'&'); }

bool LabelFits(const QLabel& label, const QString& text)
{
    const QRect room = label.contentsRect();
    if (label.wordWrap()) return label.heightForWidth(room.width()) <= room.height();
    return label.fontMetrics().horizontalAdvance(text) <= room.width();
}

} // namespace

QStringList ClippedTexts(const QWidget& window)
{
    QStringList clipped;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        const QString text = Shown(label->text());
        if (label->isVisible() && !text.isEmpty() && label->textFormat() != Qt::RichText && !LabelFits(*label, text))
            clipped << text;
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        const QString text = Shown(button->text());
        if (button->isVisible() && !text.isEmpty() && button->fontMetrics().horizontalAdvance(text) > button->width())
            clipped << text;
    }
    return clipped;
}

} // namespace TextFit
