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
