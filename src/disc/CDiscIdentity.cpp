#include "CDiscIdentity.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <atomic>
#include <cstdarg>
#include <cstring>

namespace {

// The fixed key text of the digest: 9 characters and the terminating zero.
const char kKeyText[10] = "Albireo13";
const char kAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-+";

std::atomic<FILE*> g_traceStream{stdout};

// The HMAC key: the first 16 bytes (a 128-bit RC4 key, the provider's
// default length) of the SHA-1 digest of the key text.
QByteArray DigestKey()
{
    return QCryptographicHash::hash(QByteArray(kKeyText, sizeof kKeyText), QCryptographicHash::Sha1).left(16);
}

} // namespace

void CDiscIdentity::SetTraceStream(FILE* stream) { g_traceStream.store(stream); }

void CDiscIdentity::Trace(const char* format, ...)
{
    FILE* stream = g_traceStream.load();
    if (!stream) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stream, format, args);
    va_end(args);
}

void CDiscIdentity::SetUsedType(DWORD value)
{
    m_dwUsedType = value;
    Trace("SetUsedType = %08X\n", value);
}

void CDiscIdentity::SetTrkCnt(DWORD value)
{
    m_dwTrkCnt = value;
    m_bTrkCntSet = true;
    Trace("SetTrkCnt = %08X\n", value);
}

void CDiscIdentity::SetDiscType(DWORD value)
{
    m_dwDiscType = value;
    m_bDiscTypeSet = true;
    Trace("SetDiscType = %08X\n", value);
}

void CDiscIdentity::SetFSType(DWORD value)
{
    m_dwFSType = value;
    m_bFSTypeSet = true;
    Trace("SetFSType = %08X\n", value);
}

void CDiscIdentity::SetSessionCnt(DWORD value)
{
    m_dwSessionCnt = value;
    Trace("SetSessionCnt = %08X\n", value);
}

void CDiscIdentity::SetPartSize(DWORD value)
{
    m_dwPartSize = value;
    m_bPartSizeSet = true;
    Trace("SetPartSize = %08X\n", value);
}

void CDiscIdentity::SetTimeStamp(const VolumeTimeStamp& value)
{
    m_timeStamp = value;
    Trace("SetTimeStamp = %d\n", value.year);
}

void CDiscIdentity::SetTrackStarts(const DWORD* starts, DWORD count)
{
    m_trackStarts.assign(starts, starts + (starts ? count : 0));
    m_dwTrkCnt = count;
    m_bTrkCntSet = true;
    Trace("SetTrackStarts = %08X\n", count);
}

int CDiscIdentity::BitLength(DWORD value)
{
    int bits = 0;
    for (; value; value >>= 1) ++bits;
    return bits;
}

QByteArray CDiscIdentity::TrackText(const std::vector<DWORD>& starts)
{
    QByteArray text;
    for (size_t i = 0; i < starts.size(); ++i) {
        if (i) text += 'F';
        text += QByteArray::number(starts[i]);
    }
    return text;
}

QByteArray CDiscIdentity::DigestText(const QByteArray& trackText)
{
    const QByteArray digest = QMessageAuthenticationCode::hash(trackText, DigestKey(), QCryptographicHash::Sha1);
    QByteArray text;
    for (int i = 0; i < digest.size(); i += 3) {
        uint32_t v = 0;
        for (int b = 0; b < 3; ++b)
            if (i + b < digest.size()) v |= static_cast<uint32_t>(static_cast<uint8_t>(digest[i + b])) << (8 * b);
        for (int shift = 0; shift < 24; shift += 6)
            text += kAlphabet[(v >> shift) & 63];
    }
    return text.left(27);
}

HRESULT CDiscIdentity::GetIdentity(char* buffer, DWORD size)
{
    if (m_dwUsedType < DataDisc || m_dwUsedType > AudioDisc) return E_NOTIMPL;
    if (!buffer) return E_POINTER;
    if (size < 33) return E_INVALIDARG;
    const int n = BitLength(m_dwDiscType);
    const VolumeTimeStamp& t = m_timeStamp;
    char identity[64] = {};
    if (m_dwUsedType == AudioDisc) {
        if (!m_bTrkCntSet || !m_bDiscTypeSet) return E_FAIL;
        const QByteArray digest = DigestText(TrackText(m_trackStarts));
        std::snprintf(identity, sizeof identity, "%1X%02X%02X%s", m_dwUsedType & 0xF, m_dwTrkCnt & 0xFF, n,
                      digest.constData());
    } else if (m_dwUsedType == DataDisc) {
        if (!m_bDiscTypeSet || !m_bFSTypeSet || t.typeAndZone == 0) return E_FAIL;
        std::snprintf(identity, sizeof identity, "%1X%02X%02X%1X%03X%04d%02d%02d%02d%02d%02d%07X%02X",
                      m_dwUsedType & 0xF, m_dwTrkCnt & 0xFF, n, m_dwFSType & 0xF, t.typeAndZone & 0xFFF, t.year,
                      t.month, t.day, t.hour, t.minute, t.second, m_dwPartSize & 0x0FFFFFFF, m_dwSessionCnt & 0xFF);
    } else {
        if (!m_bTrkCntSet || !m_bDiscTypeSet || !m_bFSTypeSet || t.typeAndZone == 0 || !m_bPartSizeSet) return E_FAIL;
        const QByteArray digest = DigestText(TrackText(m_trackStarts));
        std::snprintf(identity, sizeof identity, "%1X%02X%02X%1X%03X%04d%02d%02d%02d%02d%02d%.9s", m_dwUsedType & 0xF,
                      m_dwTrkCnt & 0xFF, n, m_dwFSType & 0xF, t.typeAndZone & 0xFFF, t.year, t.month, t.day, t.hour,
                      t.minute, t.second, digest.constData());
    }
    std::memcpy(buffer, identity, 32);
    buffer[32] = 0;
    return S_OK;
}
