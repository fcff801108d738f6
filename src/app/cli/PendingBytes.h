// Bytes gathered to be written at once, with room to spare past their end:
// a text may be copied into it sixteen bytes at a time (a record's bytes
// past its end are overwritten by the next one).
#pragma once
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

class PendingBytes {
public:
    static constexpr size_t kSpare = 16;

    const char* data() const { return m_bytes.get(); }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    void clear() { m_size = 0; } // keeps the memory

    // Where the next `more` bytes go (and kSpare after them).
    char* Room(size_t more)
    {
        if (m_size + more + kSpare > m_capacity) Grow(m_size + more + kSpare);
        return m_bytes.get() + m_size;
    }
    // Takes the bytes written at Room() up to `end` as pending.
    void EndAt(const char* end) { m_size = size_t(end - m_bytes.get()); }
    void append(const char* bytes, size_t count)
    {
        if (count == 0) return; // (the bytes of an empty text may be null)
        std::memcpy(Room(count), bytes, count);
        m_size += count;
    }
    void append(std::string_view bytes) { append(bytes.data(), bytes.size()); }
    // Drops the first `count` bytes; the rest move to the front.
    void DropFront(size_t count)
    {
        std::memmove(m_bytes.get(), m_bytes.get() + count, m_size - count);
        m_size -= count;
    }

private:
    void Grow(size_t capacity);

    std::unique_ptr<char[]> m_bytes;
    size_t m_size = 0, m_capacity = 0;
};
