#include "FileSystemReader.h"

void ParseControl::Report(double fraction)
{
    if (!m_fraction) return;
    if (fraction > 1.0) fraction = 1.0;
    double current = m_fraction->load(std::memory_order_relaxed);
    while (fraction > current && !m_fraction->compare_exchange_weak(current, fraction)) {
    }
}
