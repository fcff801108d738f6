#include "CliOutput.h"

#include "ByteVectors.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// \uXXXX for a code unit JSON cannot hold as it is.
template <class Out>
void AppendUnicodeEscape(Out& out, char16_t c)
{
    char escape[8];
    out.append(escape, std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(c)));
}

// The escape of a byte of the tab-separated form: a tab, newline, carriage
// return or backslash as \t, \n, \r, \\ (in UTF-8 these never occur inside
// a multi-byte sequence); null for a byte written as it is.
const char* EscapeOf(char c)
{
    switch (c) {
    case '\t': return "\\t";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\\': return "\\\\";
    default: return nullptr;
    }
}

// Whether each byte is written escaped in the tab-separated form.
constexpr std::array<bool, 256> EscapedBytes()
{
    std::array<bool, 256> escaped{};
    for (char c : {'\t', '\n', '\r', '\\'}) escaped[uint8_t(c)] = true;
    return escaped;
}
constexpr std::array<bool, 256> kEscaped = EscapedBytes();

// Sixteen bytes at a time: whether some byte of `text` may need an escape,
// as `flagged` tells of sixteen bytes (it may flag more than need one,
// never fewer). Names and paths rarely hold one.
template <class Flagged>
bool MayNeedEscapes(std::string_view text, Flagged flagged)
{
    // "a" is never escaped.
    return ByteVectors::AnyOf(text, 'a', [&](size_t, ByteVectors::Bytes bytes) { return ByteVectors::Any(flagged(bytes)); });
}

// The bytes that may need an escape (flagged as MayNeedEscapes takes them).
// Tab, newline and carriage return are below 0x0E.
ByteVectors::Lanes TabEscapeBytes(ByteVectors::Bytes bytes) { return (bytes < 0x0E) | (bytes == '\\'); }
ByteVectors::Lanes JsonEscapeBytes(ByteVectors::Bytes bytes)
{
    return (bytes < 0x20) | (bytes == '"') | (bytes == '\\');
}

// The same with the bytes from 0x80 up, which are below zero taken as signed.
ByteVectors::Lanes TabEscapeOrHighBytes(ByteVectors::Bytes bytes)
{
    return (ByteVectors::SignedBytes(bytes) < 0x0E) | (bytes == '\\');
}
ByteVectors::Lanes JsonEscapeOrHighBytes(ByteVectors::Bytes bytes)
{
    return (ByteVectors::SignedBytes(bytes) < 0x20) | (bytes == '"') | (bytes == '\\');
}

bool MayNeedTabEscapes(std::string_view text)
{
    return MayNeedEscapes(text, [](ByteVectors::Bytes bytes) { return TabEscapeBytes(bytes); });
}

bool MayNeedJsonEscapes(std::string_view text)
{
    return MayNeedEscapes(text, [](ByteVectors::Bytes bytes) { return JsonEscapeBytes(bytes); });
}

template <class Out>
void AppendEscaped(Out& out, std::string_view utf8)
{
    if (!MayNeedTabEscapes(utf8)) {
        out.append(utf8.data(), utf8.size());
        return;
    }
    size_t plain = 0; // start of the bytes not yet appended
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (!kEscaped[uint8_t(utf8[i])]) continue;
        out.append(utf8.data() + plain, i - plain);
        out.append(EscapeOf(utf8[i]), 2);
        plain = i + 1;
    }
    out.append(utf8.data() + plain, utf8.size() - plain);
}

// The inside of the JSON string of UTF-8 text, as AppendJsonString writes it.
template <class Out>
void AppendJsonUtf8(Out& out, std::string_view utf8)
{
    if (!MayNeedJsonEscapes(utf8)) {
        out.append(utf8.data(), utf8.size());
        return;
    }
    size_t plain = 0; // start of the bytes not yet appended
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = utf8[i];
        if (c != '"' && c != '\\' && c >= 0x20) continue;
        out.append(utf8.data() + plain, i - plain);
        plain = i + 1;
        if (c < 0x20) {
            AppendUnicodeEscape(out, c);
        } else {
            const char escaped[2] = {'\\', char(c)};
            out.append(escaped, 2);
        }
    }
    out.append(utf8.data() + plain, utf8.size() - plain);
}

// Writes every byte to the file; false when it fails (errno tells why).
bool WriteAll(int file, const char* bytes, size_t count)
{
    while (count > 0) {
        const ssize_t written = ::write(file, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return false;
        bytes += written;
        count -= size_t(written);
    }
    return true;
}

} // namespace

void CliOutput::AppendJsonString(QByteArray& out, const QString& text)
{
    out += '"';
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            AppendUnicodeEscape(out, c);
        } else if (c < 0x80) {
            out += char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += QStringView(text).mid(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(c)) {
            AppendUnicodeEscape(out, c);
        } else {
            out += QStringView(text).mid(i, 1).toUtf8();
        }
    }
    out += '"';
}

QByteArray CliOutput::JsonObject(const CliRecord& record)
{
    QByteArray out("{");
    bool first = true;
    for (const CliRecord::Field& field : record.Fields()) {
        if (!first) out += ',';
        first = false;
        out += '"';
        out += field.name;
        out += "\":";
        if (field.isNumber) out += QByteArray::number(field.number);
        else AppendJsonString(out, field.text);
    }
    out += '}';
    return out;
}

bool CliOutput::Write(const CliRecord& record)
{
    if (m_bBroken) return false;
    if (m_bJson) return WriteBytes(JsonObject(record) + '\n');
    m_line.resize(0); // keeps the buffer
    for (size_t i = 0; i < record.Fields().size(); ++i) {
        const CliRecord::Field& field = record.Fields()[i];
        if (i > 0) m_line += '\t';
        if (field.isNumber) m_line += QByteArray::number(field.number);
        else AppendText(field.text);
    }
    m_line += '\n';
    return WriteBytes(m_line);
}

std::string CliOutput::OpenRecord(std::initializer_list<Utf8Field> fields) const
{
    std::string opened;
    if (m_bJson) opened += '{';
    bool first = true;
    for (const Utf8Field& field : fields) {
        if (!first) opened += m_bJson ? "\"," : "\t"; // a JSON string closed
        first = false;
        if (!m_bJson) {
            AppendEscaped(opened, field.text);
            continue;
        }
        opened += '"';
        opened += field.name;
        opened += "\":\"";
        AppendJsonUtf8(opened, field.text);
    }
    return opened;
}

bool CliOutput::WriteRecord(std::string_view opened, std::string_view tail)
{
    if (m_bBroken) return false;
    m_pending.append(opened);
    if (m_bJson) AppendJsonUtf8(m_pending, tail);
    else AppendEscaped(m_pending, tail);
    m_pending.append(RecordEnd());
    return m_pending.size() < kPendingBytes || WriteWholeBlocks();
}

CliOutput::PlainWrite CliOutput::WritePlainRecord(std::string_view opened, std::string_view tail)
{
    if (m_bBroken) return PlainWrite::Failed;
    const std::string_view end = RecordEnd();
    char* at = m_pending.Room(opened.size() + tail.size() + end.size());
    std::memcpy(at, opened.data(), opened.size());
    at += opened.size();
    // The tail is copied sixteen bytes at a time (PendingBytes keeps room
    // past it) as its bytes are looked at; bytes from 0x80 up flagged too.
    const bool flagged = ByteVectors::AnyOf(tail, 'a', [&](size_t from, ByteVectors::Bytes bytes) {
        std::memcpy(at + from, &bytes, sizeof bytes);
        return ByteVectors::Any(m_bJson ? JsonEscapeOrHighBytes(bytes) : TabEscapeOrHighBytes(bytes));
    });
    if (flagged) return PlainWrite::NotPlain;
    at += tail.size();
    std::memcpy(at, end.data(), end.size());
    m_pending.EndAt(at + end.size());
    return m_pending.size() < kPendingBytes || WriteWholeBlocks() ? PlainWrite::Written : PlainWrite::Failed;
}

bool CliOutput::WriteWholeBlocks()
{
    // A block of exactly a pipe's size fits into the pipe its reader emptied:
    // the tool writes on while the reader reads, instead of waiting for it
    // in each write. The bytes past the block stay for the next one.
    const size_t whole = m_pending.size() / kPendingBytes * kPendingBytes;
    const bool written = std::fflush(m_pStream) == 0 && WriteAll(fileno(m_pStream), m_pending.data(), whole);
    m_pending.DropFront(whole);
    return Check(written);
}

bool CliOutput::WritePending()
{
    if (m_pending.empty()) return true;
    // The block goes to the stream's file itself, after what the stream
    // holds: copied into the stream's buffer first, the hundreds of
    // megabytes of a search would be copied once more.
    const bool written = std::fflush(m_pStream) == 0 && WriteAll(fileno(m_pStream), m_pending.data(), m_pending.size());
    m_pending.clear(); // keeps the buffer
    return Check(written);
}

void CliOutput::AppendText(const QString& text)
{
    m_utf8.resize(m_encoder.requiredSpace(text.size()));
    const char* end = m_encoder.appendToBuffer(m_utf8.data(), text);
    AppendEscaped(m_line, std::string_view(m_utf8.constData(), size_t(end - m_utf8.constData())));
}

bool CliOutput::WriteBytes(const QByteArray& bytes)
{
    if (m_bBroken || !WritePending()) return false;
    return Check(std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_pStream) == size_t(bytes.size()));
}

bool CliOutput::Flush()
{
    if (m_bBroken || !WritePending()) return false;
    return Check(std::fflush(m_pStream) == 0);
}

bool CliOutput::End()
{
    const bool flushed = Flush();
    if (m_bEnded) return flushed;
    m_bEnded = true;
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere < 0) return flushed;
    ::dup2(nowhere, fileno(m_pStream));
    ::close(nowhere);
    return flushed;
}

bool CliOutput::Check(bool ok)
{
    if (ok) return true;
    m_bBroken = true;
    m_bReaderGone = errno == EPIPE;
    return false;
}
