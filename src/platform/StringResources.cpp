#include "StringResources.h"

#include <mutex>

namespace {
std::mutex g_mutex;
std::shared_ptr<const ResourceModule> g_module;
} // namespace

void SetResourceHandle(std::shared_ptr<const ResourceModule> module)
{
    std::lock_guard lock(g_mutex);
    g_module = std::move(module);
}

std::shared_ptr<const ResourceModule> GetResourceHandle()
{
    std::lock_guard lock(g_mutex);
    return g_module;
}

QString LoadString(UINT id)
{
    const auto module = GetResourceHandle();
    return module ? module->String(id) : QString();
}

QString FormatString(UINT id, std::initializer_list<QString> arguments)
{
    QString text = LoadString(id);
    qsizetype from = 0;
    for (const QString& argument : arguments) {
        qsizetype at = from;
        while ((at = text.indexOf(u'%', at)) >= 0 && at + 1 < text.size() && text[at + 1] != u's' &&
               text[at + 1] != u'd')
            at += text[at + 1] == u'%' ? 2 : 1;
        if (at < 0 || at + 1 >= text.size()) break;
        text.replace(at, 2, argument);
        from = at + argument.size();
    }
    return text;
}

std::optional<ResourceMenu> LoadMenu(UINT id)
{
    const auto module = GetResourceHandle();
    const ResourceMenu* menu = module ? module->Menu(id) : nullptr;
    if (!menu) return std::nullopt;
    return *menu;
}

QString LoadIconPath(UINT id)
{
    const auto module = GetResourceHandle();
    return module ? module->IconPath(id) : QString();
}
