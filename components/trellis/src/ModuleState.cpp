#include "ComObject.h"

#include <atomic>

namespace ModuleState {
namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
} // namespace

void ObjectCreated() { ++g_objects; }
void ObjectDestroyed() { --g_objects; }
long LiveObjects() { return g_objects.load(); }
void LockServer(bool lock) { lock ? ++g_locks : --g_locks; }
long ServerLocks() { return g_locks.load(); }

} // namespace ModuleState
