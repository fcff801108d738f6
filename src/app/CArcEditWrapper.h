// CArcEditWrapper: the search box of the main window. A container cut to
// its picture's shape (every pixel but magenta), holding an edit and a
// clear button. The main frame reacts to its text; the box itself only
// shows it, empties it from the button, and clears it on Escape.
#pragma once
#include "wintypes.h"

#include <QImage>
#include <QWidget>

class CGButton;
class CGEdit;

class CArcEditWrapper : public QWidget {
    Q_OBJECT
public:
    static constexpr int kControlId = 20114;
    static constexpr int kEditId = 197;
    static constexpr int kButtonId = 6674;
    static constexpr QRgb kOutsideColour = 0xFFFF00FF; // magenta
    static constexpr const char* kPicture = "Image\\MainFrame\\searchBarAndIcon.png";
    static constexpr const char* kEditPicture = "Image\\MainFrame\\searchBar_keyIn.png";
    static constexpr const char* kButtonPicture = "Image\\MainFrame\\btn_searchGo.png";

    explicit CArcEditWrapper(QWidget* parent = nullptr);

    // Takes the picture's size and shape (both grown by the layout scale
    // `scale`, the text with them), places the box at (x, y) and creates
    // the edit and the button. A missing picture leaves a plain box of the
    // picture's size.
    BOOL Setup(int x, int y, const QImage& picture, double scale = 1.0);
    QString Text() const;
    void SetText(const QString& text);
    CGEdit* Edit() const { return m_pEdit; }
    CGButton* Button() const { return m_pButton; }

signals:
    // The edit's text changed (typed, cleared or set).
    void textChanged(const QString& text);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QImage m_picture;
    CGEdit* m_pEdit = nullptr;
    CGButton* m_pButton = nullptr;
};
