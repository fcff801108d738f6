#include "LibraryModule.h"

#include <atomic>

namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
} // namespace

namespace LibraryModule {

void ObjectCreated() { ++g_objects; }
void ObjectDestroyed() { --g_objects; }
void Lock(bool lock) { lock ? ++g_locks : --g_locks; }
bool CanUnload() { return g_objects.load() == 0 && g_locks.load() == 0; }

} // namespace LibraryModule
