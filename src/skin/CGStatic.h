// CGStatic: a static control that shows a picture (stretched to its
// rectangle), a text or a solid colour fill; used for dividers, titles and
// label pictures. With SS_NOTIFY a click reaches the parent as WM_COMMAND
// STN_CLICKED.
#pragma once
#include "WinControls.h"

#include <QColor>
#include <QImage>
#include <QWidget>

class CGStatic : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ Text WRITE SetText) // what screen readers read
public:
    explicit CGStatic(QWidget* parent = nullptr);

    BOOL Create(const QString& text, DWORD style, const QRect& rect, QWidget* parent, UINT id,
                const QColor& textColour = QColor(0x1B, 0x2A, 0x3F));
    // FALSE when the picture cannot be loaded (nothing is drawn then).
    BOOL SetPicture(const QString& picturePath);
    void SetImage(const QImage& image);
    QImage Image() const { return m_image; }
    void SetFillColor(const QColor& colour);
    void SetText(const QString& text);
    QString Text() const { return m_text; }
    void SetTextColor(const QColor& colour);
    void SetAlignment(Qt::Alignment alignment);
    void SetTooltip(const QString& text) { setToolTip(text); }
    void SetNotify(bool notify) { m_bNotify = notify; }
    // One line, shortened with an ellipsis when it does not fit.
    void SetSingleLine(bool singleLine);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_image;
    QColor m_fill;
    QString m_text;
    QColor m_textColour;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool m_bNotify = false;
    bool m_bSingleLine = false;
};
