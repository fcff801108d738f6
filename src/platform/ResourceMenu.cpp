#include "ResourceMenu.h"

const ResourceMenuItem* ResourceMenu::Popup(size_t index) const
{
    if (index >= items.size() || items[index].kind != ResourceMenuItem::Kind::Popup) return nullptr;
    return &items[index];
}

std::vector<ResourceMenuItem> WithoutCommand(const std::vector<ResourceMenuItem>& items, UINT id)
{
    using Kind = ResourceMenuItem::Kind;
    std::vector<ResourceMenuItem> kept;
    for (const ResourceMenuItem& item : items) {
        if (item.kind == Kind::Command && item.id == id) continue;
        if (item.kind == Kind::Separator && (kept.empty() || kept.back().kind == Kind::Separator)) continue;
        ResourceMenuItem copy = item;
        if (item.kind == Kind::Popup) copy.children = WithoutCommand(item.children, id);
        kept.push_back(std::move(copy));
    }
    if (!kept.empty() && kept.back().kind == Kind::Separator) kept.pop_back();
    return kept;
}
