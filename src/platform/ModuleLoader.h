// LoadLibrary / GetProcAddress / FreeLibrary on dlopen. A module named
// "Name.dll" is the shared library "libName.so": a name with a folder is
// loaded from that folder; a plain name is looked for beside the program
// first, then through the dynamic linker's search path.
#pragma once
#include "hresult.h"

#include <QString>

using HMODULE = void*;

namespace ModuleLoader {

// Maps "Folder\Name.dll" (either separator) onto "Folder/libName.so".
QString SharedObjectPath(const QString& modulePath);
// Loads the module; null on failure, with the reason in LastError().
HMODULE LoadLibrary(const QString& modulePath);
// The folder of the loaded module (program or shared library) that holds
// `address` (GetModuleFileName's folder); the program's folder when unknown.
QString FolderOf(const void* address);
void* GetProcAddress(HMODULE module, const char* name);
void FreeLibrary(HMODULE module);
// Text of the last loading failure (dlerror), for diagnostics.
QString LastError();
// HRESULT for the last failure: file not found or a generic failure.
HRESULT LastResult();

} // namespace ModuleLoader
