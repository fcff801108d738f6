// CGComboBox: a drop-down list drawn from a picture strip of four frames
// (normal, hover, open, disabled) with its own pop-up list (CGListBoxContainer
// with a CGComboListBox) whose rows use the item background picture. A
// choice made by the user reaches the parent as WM_COMMAND CBN_SELCHANGE.
#pragma once
#include "WinControls.h"

#include <QComboBox>
#include <QImage>

class CGListBoxContainer;

class CGComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CGComboBox(QWidget* parent = nullptr);
    ~CGComboBox() override;

    BOOL Create(const QString& picturePath, const QString& itemPicturePath, DWORD style, const QRect& rect,
                QWidget* parent, UINT id, const QColor& textColour = QColor(0x1B, 0x2A, 0x3F));
    BOOL SetPictures(const QString& picturePath, const QString& itemPicturePath);
    int AddString(const QString& text);
    int GetCurSel() const { return currentIndex(); }
    void SetCurSel(int index) { setCurrentIndex(index); }
    int GetCount() const { return count(); }
    void ResetContent() { clear(); }
    // The open pop-up, or null.
    CGListBoxContainer* Popup() const { return m_pPopup; }
    int FrameIndex() const;

    void showPopup() override;
    void hidePopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Choose(int index);

    QImage m_picture;
    QImage m_itemPicture;
    QColor m_textColour;
    CGListBoxContainer* m_pPopup = nullptr;
};
