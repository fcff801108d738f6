#include "MenuBarKeyboard.h"

#include <QMenuBar>
#include <QProxyStyle>
#include <QShortcut>

namespace {

class AltNavigationStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

namespace MenuBarKeyboard {

void Enable(QMenuBar* bar, QWidget* window)
{
    auto* style = new AltNavigationStyle;
    style->setParent(bar);
    bar->setStyle(style);
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_F10), window), &QShortcut::activated, bar, [bar] {
        if (!bar->actions().isEmpty()) bar->setActiveAction(bar->actions().first());
    });
}

} // namespace MenuBarKeyboard
