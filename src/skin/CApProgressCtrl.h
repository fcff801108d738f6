// CApProgressCtrl: a progress bar drawn from a background picture and a
// unit picture; the unit picture is stretched (its rounded ends kept) over
// the done part of the bar.
#pragma once
#include "WinControls.h"

#include <QImage>
#include <QProgressBar>

class CApProgressCtrl : public QProgressBar {
    Q_OBJECT
public:
    static constexpr const char* kDefaultBackground = "Image\\Common\\progressCtrl\\progress_bg.png";
    static constexpr const char* kDefaultUnit = "Image\\Common\\progressCtrl\\progress_unit.png";

    explicit CApProgressCtrl(QWidget* parent = nullptr);

    // Empty paths (or missing pictures) take the defaults.
    BOOL Create(const QString& backgroundPath, const QString& unitPath, DWORD style, const QRect& rect,
                QWidget* parent, UINT id);
    BOOL SetPictures(const QString& backgroundPath, const QString& unitPath);
    void SetRange(int lower, int upper) { setRange(lower, upper); }
    void SetPos(int position) { setValue(position); }
    int GetPos() const { return value(); }
    // Width in pixels of the done part at the current position.
    int DoneWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_background;
    QImage m_unit;
};
