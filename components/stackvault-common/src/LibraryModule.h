// Life of the component library: live objects and server locks decide
// whether DllCanUnloadNow lets the library go.
#pragma once

namespace LibraryModule {

void ObjectCreated();
void ObjectDestroyed();
void Lock(bool lock);
bool CanUnload();

} // namespace LibraryModule
