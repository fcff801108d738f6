// Loads the resource module of the user's language for the tool's messages:
// "Language\<CurrentLang>\FlwRC.dll", else the English one.
#pragma once

namespace CliResources {

void Load();

} // namespace CliResources
