#include "Utf16Text.h"

#include <algorithm>
#include <cstring>

namespace Utf16Text {

std::u16string_view View(const char16_t* text)
{
    return text ? std::u16string_view(text) : std::u16string_view();
}

QString ToQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

void ToUtf8(std::u16string_view text, std::string& out)
{
    out.resize(text.size());
    size_t ascii = 0;
    while (ascii < text.size() && text[ascii] < 0x80) {
        out[ascii] = static_cast<char>(text[ascii]);
        ++ascii;
    }
    if (ascii == text.size()) return;
    const QByteArray rest = ToQString(text.substr(ascii)).toUtf8();
    out.resize(ascii);
    out.append(rest.constData(), static_cast<size_t>(rest.size()));
}

bool IsWellFormed(std::u16string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

QByteArray Folded(std::u16string_view text)
{
    const QString raw = QString::fromRawData(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
    return raw.toCaseFolded().toUtf8();
}

QByteArray Folded(const QString& text) { return text.toCaseFolded().toUtf8(); }

void CopyToField(char16_t* field, int capacity, std::u16string_view text)
{
    if (capacity <= 0) return;
    size_t length = std::min(text.size(), size_t(capacity - 1));
    // Never cut a surrogate pair in half.
    if (length > 0 && length < text.size() && QChar::isHighSurrogate(text[length - 1])) --length;
    std::memcpy(field, text.data(), length * sizeof(char16_t));
    field[length] = 0;
}

void CopyToField(char16_t* field, int capacity, const QString& text)
{
    CopyToField(field, capacity, std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())));
}

void CopyToField(char* field, int capacity, const QByteArray& text)
{
    if (capacity <= 0) return;
    const qsizetype length = std::min<qsizetype>(text.size(), capacity - 1);
    std::memcpy(field, text.constData(), static_cast<size_t>(length));
    field[length] = 0;
}

} // namespace Utf16Text
