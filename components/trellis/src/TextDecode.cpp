#include "TextDecode.h"

namespace TextDecode {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void Limit(std::u16string& text) { CutAtCharacter(text, kMaxNameUnits); }

// Decodes valid UTF-8 into `out`; false on any invalid sequence. The ASCII
// a name starts with (most names are nothing else) is widened at once.
bool DecodeUtf8(const uint8_t* bytes, size_t length, std::u16string& out)
{
    size_t ascii = 0;
    while (ascii < length && bytes[ascii] < 0x80) ++ascii;
    const size_t start = out.size();
    out.resize(start + ascii);
    for (size_t k = 0; k < ascii; ++k) out[start + k] = char16_t(bytes[k]);
    for (size_t i = ascii; i < length;) {
        const uint8_t lead = bytes[i];
        uint32_t code;
        size_t extra;
        if (lead < 0x80) {
            code = lead;
            extra = 0;
        } else if ((lead & 0xE0) == 0xC0) {
            code = lead & 0x1F;
            extra = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            code = lead & 0x0F;
            extra = 2;
        } else if ((lead & 0xF8) == 0xF0) {
            code = lead & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (extra && i + extra >= length) return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return false;
            code = code << 6 | (bytes[i + k] & 0x3F);
        }
        if (code > 0x10FFFF || (extra == 1 && code < 0x80) || (extra == 2 && code < 0x800) ||
            (extra == 3 && code < 0x10000) || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(char16_t(0xD800 + (code >> 10)));
            out.push_back(char16_t(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(char16_t(code));
        }
        i += extra + 1;
    }
    return true;
}

} // namespace

std::u16string FromUtf8OrLatin1(const uint8_t* bytes, size_t length)
{
    std::u16string text;
    text.reserve(length); // never fewer bytes than units, in either decoding
    if (!DecodeUtf8(bytes, length, text)) text.assign(bytes, bytes + length);
    Limit(text);
    return text;
}

std::u16string FromUtf16Be(const uint8_t* bytes, size_t length)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < length; i += 2) text.push_back(char16_t(bytes[i] << 8 | bytes[i + 1]));
    Repair(text);
    Limit(text);
    return text;
}

void Repair(std::u16string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1]))
            ++i;
        else if (IsHigh(text[i]) || IsLow(text[i]))
            text[i] = kReplacement;
    }
}

size_t WholeCharacterUnits(const char16_t* text, size_t length, size_t maxUnits)
{
    if (length <= maxUnits) return length;
    // A high surrogate last would lose its other half.
    return maxUnits > 0 && IsHigh(text[maxUnits - 1]) && IsLow(text[maxUnits]) ? maxUnits - 1 : maxUnits;
}

void CutAtCharacter(std::u16string& text, size_t maxUnits)
{
    text.resize(WholeCharacterUnits(text.data(), text.size(), maxUnits));
}

std::u16string FromOstaCs0(const uint8_t* bytes, size_t length)
{
    if (length == 0) return {};
    if (bytes[0] == 8 || bytes[0] == 254) {
        std::u16string text(bytes + 1, bytes + length);
        Limit(text);
        return text;
    }
    if (bytes[0] == 16 || bytes[0] == 255) return FromUtf16Be(bytes + 1, length - 1);
    return {};
}

std::u16string FromDstring(const uint8_t* field, size_t fieldLength)
{
    if (fieldLength < 2) return {};
    size_t used = field[fieldLength - 1];
    if (used > fieldLength - 1) used = fieldLength - 1;
    std::u16string text = FromOstaCs0(field, used);
    TrimRight(text);
    return text;
}

void TrimRight(std::u16string& text)
{
    while (!text.empty() && (text.back() == u' ' || text.back() == 0)) text.pop_back();
}

} // namespace TextDecode
