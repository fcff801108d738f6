// Name decoding for the character sets found on discs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace TextDecode {

constexpr size_t kMaxNameUnits = 255;

// UTF-8 when the bytes are valid UTF-8, otherwise Latin-1.
std::u16string FromUtf8OrLatin1(const uint8_t* bytes, size_t length);
// UCS-2 / UTF-16 big-endian (Joliet); an odd last byte is dropped.
std::u16string FromUtf16Be(const uint8_t* bytes, size_t length);
// OSTA compressed Unicode (UDF): the first byte 8/254 means 8-bit
// characters, 16/255 big-endian 16-bit ones; anything else gives "".
std::u16string FromOstaCs0(const uint8_t* bytes, size_t length);
// A UDF dstring: OSTA text whose used length is in its last byte.
std::u16string FromDstring(const uint8_t* field, size_t fieldLength);
// Cuts trailing blanks and zeros.
void TrimRight(std::u16string& text);

} // namespace TextDecode
