// Registry store files. Raw input exercises the header and checksum checks;
// the same input with a valid closing line (line count and SHA-1 of the body)
// reaches the key and value parsing. Whatever parses must serialize into text
// that parses back to the same text.
#include "RegistryData.h"

#include <QCryptographicHash>
#include <QList>
#include <cstdlib>

namespace {

QByteArray WithValidEnd(QByteArray body)
{
    if (!body.endsWith('\n')) body += '\n';
    const QList<QByteArray> rows = body.split('\n');
    int lines = 0;
    for (qsizetype i = 1; i < rows.size(); ++i)
        if (!rows[i].isEmpty()) ++lines;
    return body + "END " + QByteArray::number(lines) + ' ' +
           QCryptographicHash::hash(body, QCryptographicHash::Sha1).toHex() + '\n';
}

void CheckRoundTrip(const std::optional<RegistryData>& data)
{
    if (!data) return;
    const QByteArray text = data->Serialize();
    const std::optional<RegistryData> again = RegistryData::Parse(text);
    if (!again || again->Serialize() != text) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckRoundTrip(RegistryData::Parse(input));
    CheckRoundTrip(RegistryData::Parse(WithValidEnd(input)));
    return 0;
}
