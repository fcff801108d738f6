// The process-wide resource handle: the resource module of the chosen
// language, installed once at start-up, which every later look-up of a
// string, menu or icon by number searches.
//
//   auto module = ResourceModule::Load(QStringLiteral("Language\\Enu\\FlwRC.dll"));
//   SetResourceHandle(module);          // start-up, after choosing the language
//   QString caption = LoadString(100);  // anywhere, any thread
//   SetResourceHandle(nullptr);         // shutdown
//
// The handle shares ownership of the module, so a look-up that runs while
// another thread replaces the handle still reads a live module.
#pragma once
#include "ResourceModule.h"

#include <initializer_list>
#include <memory>
#include <optional>

// Installs the module (null clears the handle).
void SetResourceHandle(std::shared_ptr<const ResourceModule> module);
std::shared_ptr<const ResourceModule> GetResourceHandle();

// The string's text; empty when no module is installed or it has no such string.
QString LoadString(UINT id);
// The string with its printf-style "%s" and "%d" places filled in order by
// the texts given (what is left over stays as it is).
QString FormatString(UINT id, std::initializer_list<QString> arguments);
// A copy of the menu; nothing when there is no module or no such menu.
std::optional<ResourceMenu> LoadMenu(UINT id);
// The picture path ("Image\...") of an icon resource; empty when missing.
QString LoadIconPath(UINT id);
