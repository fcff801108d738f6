#include "CliResources.h"

#include "StringReg.h"
#include "StringResources.h"

namespace CliResources {

void Load()
{
    StringReg language(HKEY_CURRENT_USER, u"Software\\Quorvel\\Flintwell13", u"CurrentLang");
    std::shared_ptr<const ResourceModule> module;
    if (language.Read() && !language.IsEmpty())
        module = ResourceModule::Load(QStringLiteral("Language\\") + language.ToString() + QStringLiteral("\\FlwRC.dll"));
    if (!module) module = ResourceModule::Load(QStringLiteral("Language\\Enu\\FlwRC.dll"));
    SetResourceHandle(module);
}

} // namespace CliResources
