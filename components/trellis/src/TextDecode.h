// Name decoding for the character sets found on discs. Every text comes
// out well-formed UTF-16, so that one damaged name never costs the disc:
// a unit that is not text (an unpaired surrogate, as old burners left when
// they cut long names) becomes U+FFFD, and texts are cut only between
// whole characters.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace TextDecode {

constexpr size_t kMaxNameUnits = 255;

// UTF-8 when the bytes are valid UTF-8, otherwise Latin-1 (Rock Ridge
// names written in a legacy code page).
std::u16string FromUtf8OrLatin1(const uint8_t* bytes, size_t length);
// UCS-2 / UTF-16 big-endian (Joliet); an odd last byte is dropped.
std::u16string FromUtf16Be(const uint8_t* bytes, size_t length);
// Replaces every unpaired surrogate with U+FFFD.
void Repair(std::u16string& text);
// Cuts to at most `maxUnits`, never between the two halves of a pair.
void CutAtCharacter(std::u16string& text, size_t maxUnits);
// How many of the first `maxUnits` units form whole characters.
size_t WholeCharacterUnits(const char16_t* text, size_t length, size_t maxUnits);
// OSTA compressed Unicode (UDF): the first byte 8/254 means 8-bit
// characters, 16/255 big-endian 16-bit ones; anything else gives "".
std::u16string FromOstaCs0(const uint8_t* bytes, size_t length);
// A UDF dstring: OSTA text whose used length is in its last byte.
std::u16string FromDstring(const uint8_t* field, size_t fieldLength);
// Cuts trailing blanks and zeros.
void TrimRight(std::u16string& text);

} // namespace TextDecode
