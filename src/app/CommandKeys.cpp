#include "CommandKeys.h"

#include "CLibraryHealth.h"
#include "ResourceIds.h"
#include "StringResources.h"

namespace {

struct CommandKey {
    UINT command;
    QKeyCombination keys;
};
constexpr CommandKey kCommandKeys[] = {
    {ID_ALB_IMPORT, Qt::CTRL | Qt::Key_I},
    {ID_ALB_BACK, Qt::ALT | Qt::Key_Left},
    {ID_ALB_DETAILS, Qt::CTRL | Qt::Key_1},
    {ID_ALB_SMALL_ICONS, Qt::CTRL | Qt::Key_2},
};

} // namespace

namespace CommandKeys {

QKeySequence ShortcutOf(UINT command)
{
    for (const CommandKey& key : kCommandKeys)
        if (key.command == command) return QKeySequence(key.keys);
    return {};
}

QString TooltipOf(UINT command)
{
    const QString tip = LoadString(command);
    const QKeySequence keys = ShortcutOf(command);
    if (keys.isEmpty() || tip.isEmpty()) return tip;
    return CLibraryHealth::Format(LoadString(IDS_FMT_TIP_SHORTCUT), {tip, keys.toString(QKeySequence::NativeText)});
}

} // namespace CommandKeys
