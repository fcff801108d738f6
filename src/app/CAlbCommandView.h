// CAlbCommandView: the thin bar across the top of the main window. It holds
// one image button per command, shows their tooltips from the string table
// and hands their clicks to the main frame (its command target), which acts
// on them or forwards them to the file list view. Every command has its
// keyboard shortcut (CommandKeys); from the keyboard the buttons take the
// focus (a click leaves it where it was), Left and Right move between them
// and Enter or Space presses one.
#pragma once
#include "CCmdTarget.h"
#include "CView.h"

#include <vector>

class CGButton;

class CAlbCommandView : public CView {
    Q_OBJECT
public:
    static constexpr int kButtonSide = 23;
    static constexpr int kButtonTop = 1;
    static constexpr QRgb kBackground = 0xFFDEE0E0; // RGB(222, 224, 224)

    explicit CAlbCommandView(QWidget* parent = nullptr);
    ~CAlbCommandView() override;

    void SetCommandTarget(CCmdTarget* target) { m_pCommandTarget = target; }
    // Replaces the buttons by one per identifier (see the .cpp for which
    // identifiers create a window); answers 0.
    int SetCommands(const UINT* ids, UINT count);
    // The button at a position; null when there is none.
    CGButton* GetButton(int index) const;
    // The button of a command; null when there is none.
    CGButton* ButtonOf(UINT command) const;
    // The commands' shortcuts, working anywhere in `window`; a shortcut
    // does nothing while its button is disabled.
    void InstallShortcuts(QWidget* window);
    UINT ButtonCount() const { return m_nButtons; }

    // The picture string resource of a command at the current UI scale.
    static UINT PictureIdOf(UINT command, double uiScale);

    void OnInitialUpdate() override;
    // Asks the target for the state of each button's command; buttons whose
    // command it does not decide keep their state.
    void UpdateCommandStates();
    // Where the import command's name is written beside its button (a click
    // there imports too); empty when it does not fit before the next button.
    QRect ImportLabelRect() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DestroyButtons();
    void RunShortcut(UINT command);
    // Enter presses the focused button, Left and Right move along the bar.
    bool OnButtonKey(CGButton* button, int key);

    std::vector<CGButton*> m_pButtons;
    UINT m_nButtons = 0;
    CCmdTarget* m_pCommandTarget = nullptr;
};
