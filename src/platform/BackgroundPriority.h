// Lowers the scheduling priority of the calling thread, for work that
// runs beside a thread others wait for (an import's gram tallies and log
// copies beside its writes): when the cores are busy, the waited-for
// thread runs first, and the background work catches up when a core is
// free. Only the calling thread changes; failures change nothing.
#pragma once

namespace BackgroundPriority {

// The nice value given (0 is normal; 19 the lowest).
inline constexpr int kNice = 5;

void LowerCurrentThread();

} // namespace BackgroundPriority
