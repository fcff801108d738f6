// CGEdit: a single-line edit with its own frame (a background picture, or
// a rounded frame when it has none) and text colour. Numbers are shown in
// plain decimal ("%I64d").
#pragma once
#include "WinControls.h"

#include <QImage>
#include <QLineEdit>

class CGEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CGEdit(QWidget* parent = nullptr);

    BOOL Create(const QString& backgroundPath, DWORD style, const QRect& rect, QWidget* parent, UINT id,
                const QColor& textColour = QColor(0x1B, 0x2A, 0x3F));
    BOOL SetBackground(const QString& picturePath);
    void SetTextColor(const QColor& colour);
    void SetValue(qint64 value);
    // The text read as a number; false when it is not one.
    bool GetValue(qint64* value) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_background;
};
