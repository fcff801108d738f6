#include "SkinMenu.h"

#include <QMenu>

namespace SkinMenu {

void Fill(QMenu* menu, const std::vector<ResourceMenuItem>& items, const CommandHandler& onCommand)
{
    for (const ResourceMenuItem& item : items) {
        switch (item.kind) {
        case ResourceMenuItem::Kind::Separator:
            menu->addSeparator();
            break;
        case ResourceMenuItem::Kind::Popup:
            Fill(menu->addMenu(item.text), item.children, onCommand);
            break;
        case ResourceMenuItem::Kind::Command: {
            const QString text = item.text.section(u'\t', 0, 0);
            QAction* action = menu->addAction(text);
            action->setData(item.id);
            const QString shortcut = item.text.section(u'\t', 1);
            if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
            const UINT id = item.id;
            QObject::connect(action, &QAction::triggered, menu, [onCommand, id] { onCommand(id); });
            break;
        }
        }
    }
}

void FollowCommandStates(QMenu* menu, const StateQuery& state)
{
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, state] {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || action->menu() || !action->data().isValid()) continue;
            BOOL enabled = TRUE;
            if (state(action->data().toUInt(), &enabled)) action->setEnabled(enabled);
        }
    });
}

QString StyleSheet()
{
    return QStringLiteral(
        "QMenu { background: #FFFFFF; border: 1px solid #B9C3CF; padding: 4px 0; color: #1B2A3F; }"
        "QMenu::item { padding: 5px 28px 5px 22px; }"
        "QMenu::item:selected { background: #CCE4F7; }"
        "QMenu::item:disabled { color: #A9B4C2; }"
        "QMenu::separator { height: 1px; background: #E1E6EC; margin: 4px 8px; }");
}

} // namespace SkinMenu
