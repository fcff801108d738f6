// Resource module files (FlwRC.res): any bytes either parse or fail with a
// message naming a line; a parsed module answers every look-up.
#include "ResourceModule.h"

#include <cstdlib>

namespace {
void Walk(const std::vector<ResourceMenuItem>& items)
{
    for (const ResourceMenuItem& item : items) {
        if (item.kind != ResourceMenuItem::Kind::Popup && !item.children.empty()) std::abort();
        Walk(item.children);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString error;
    const auto module = ResourceModule::Parse(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                                              QStringLiteral("fuzz"), &error);
    if (!module) {
        if (!error.startsWith(QLatin1String("fuzz:"))) std::abort();
        return 0;
    }
    for (UINT id : module->StringIds()) (void)module->String(id).size();
    for (UINT id : module->MenuIds()) {
        Walk(module->Menu(id)->items);
        (void)WithoutCommand(module->Menu(id)->items, 1);
    }
    return 0;
}
