#include "com.h"

#include <cstdio>
#include <stdexcept>

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at `pos`; -1 on a bad digit.
int64_t ReadHex(std::string_view text, size_t pos, int digits)
{
    int64_t value = 0;
    for (int i = 0; i < digits; ++i) {
        int v = HexValue(text[pos + i]);
        if (v < 0) return -1;
        value = value * 16 + v;
    }
    return value;
}

} // namespace

std::optional<GUID> GuidFromString(std::string_view text)
{
    if (text.size() == 38) {
        if (text.front() != '{' || text.back() != '}') return std::nullopt;
        text = text.substr(1, 36);
    }
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;
    GUID g{};
    int64_t d1 = ReadHex(text, 0, 8), d2 = ReadHex(text, 9, 4), d3 = ReadHex(text, 14, 4);
    if (d1 < 0 || d2 < 0 || d3 < 0) return std::nullopt;
    g.Data1 = static_cast<uint32_t>(d1);
    g.Data2 = static_cast<uint16_t>(d2);
    g.Data3 = static_cast<uint16_t>(d3);
    const size_t bytePos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i) {
        int64_t b = ReadHex(text, bytePos[i], 2);
        if (b < 0) return std::nullopt;
        g.Data4[i] = static_cast<uint8_t>(b);
    }
    return g;
}

std::string GuidToString(const GUID& g)
{
    char buffer[39];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                  g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return buffer;
}

GUID MakeGuid(std::string_view text)
{
    auto guid = GuidFromString(text);
    if (!guid) throw std::invalid_argument("malformed GUID literal");
    return *guid;
}
