// Sixteen bytes of a short text (a name, a path) looked at in one step, for
// the tests run on millions of names. GCC's and Clang's vector types become
// the processor's vector instructions where it has them (SSE2 on x86-64)
// and plain code elsewhere.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace ByteVectors {

using Bytes = uint8_t __attribute__((vector_size(16)));
// The same bytes taken as signed: the bytes from 0x80 up are below zero.
using SignedBytes = int8_t __attribute__((vector_size(16)));
// What a comparison of Bytes gives: all bits set in each lane where it holds.
using Lanes = int8_t __attribute__((vector_size(16)));
constexpr size_t kBytes = sizeof(Bytes);

inline Bytes Every(uint8_t byte) { return Bytes{} + byte; }

// The lanes set by a comparison as two words, eight bits per byte (lane i
// in word i / 8, bits (i % 8) * 8 up).
struct Words {
    uint64_t low, high;
};
inline Words WordsOf(Lanes lanes)
{
    Words words;
    std::memcpy(&words, &lanes, sizeof words);
    return words;
}
inline bool Any(Lanes lanes)
{
    const Words words = WordsOf(lanes);
    return (words.low | words.high) != 0;
}

// Calls `visit(at, bytes)` for the text's bytes from `at`, sixteen at a
// time: whole vectors, then the last sixteen bytes (some of them again); a
// text shorter than that once, followed by `filler`. Stops at the first
// call that gives true and gives true then.
template <class Visit>
bool AnyOf(std::string_view text, uint8_t filler, Visit&& visit)
{
    Bytes bytes = Every(filler);
    if (text.size() < kBytes) {
        if (!text.empty()) std::memcpy(&bytes, text.data(), text.size()); // (an empty text's data may be null)
        return visit(size_t(0), bytes);
    }
    size_t at = 0;
    for (; at + kBytes <= text.size(); at += kBytes) {
        std::memcpy(&bytes, text.data() + at, kBytes);
        if (visit(at, bytes)) return true;
    }
    if (at == text.size()) return false;
    at = text.size() - kBytes;
    std::memcpy(&bytes, text.data() + at, kBytes);
    return visit(at, bytes);
}

} // namespace ByteVectors
