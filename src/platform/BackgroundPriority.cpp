#include "BackgroundPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace BackgroundPriority {

void LowerCurrentThread()
{
    // On Linux a nice value belongs to a thread: the thread's id names it alone.
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    const int current = getpriority(PRIO_PROCESS, thread);
    if (current < kNice) setpriority(PRIO_PROCESS, thread, kNice);
}

} // namespace BackgroundPriority
