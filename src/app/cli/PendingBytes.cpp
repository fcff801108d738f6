#include "PendingBytes.h"

#include <algorithm>

void PendingBytes::Grow(size_t capacity)
{
    capacity = std::max(capacity, m_capacity * 2);
    auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
    if (m_size > 0) std::memcpy(bytes.get(), m_bytes.get(), m_size);
    m_bytes = std::move(bytes);
    m_capacity = capacity;
}
