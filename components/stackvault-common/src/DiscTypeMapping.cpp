#include "DiscTypeMapping.h"

namespace {
enum DiscClass { kCd = 1, kDvd = 2, kBd = 3 };

constexpr int64_t kMB = 1000LL * 1000;
constexpr int64_t kGB = 1000LL * kMB;

// Capacities come from the drive and vary a little around the nominal sizes,
// so each limit sits between two nominal sizes.
int32_t FormatCode(const DiscProperties& disc)
{
    const int64_t capacity = disc.capacityBytes;
    if (capacity <= 0) return 0;
    switch (disc.discClass) {
    case kCd: return capacity <= 300 * kMB ? 5 : 1;
    case kDvd: return capacity <= 3 * kGB ? 5 : capacity <= 5 * kGB ? 1 : 2;
    case kBd:
        if (capacity <= 20 * kGB) return 5;
        if (capacity <= 30 * kGB) return 1;
        if (capacity <= 60 * kGB) return 2;
        return capacity <= 110 * kGB ? 3 : 6;
    default: return 1;
    }
}

// The identity's first character is its kind: 1 data, 2 and 3 CDs whose
// first track is an XA track, 4 audio.
char IdentityKind(const QByteArray& identity) { return identity.isEmpty() ? '\0' : identity.at(0); }

// A data disc's identity ends with its session count in two hex digits.
int SessionCount(const QByteArray& identity)
{
    if (identity.size() != 32 || IdentityKind(identity) != '1') return 1;
    bool ok = false;
    const int count = identity.right(2).toInt(&ok, 16);
    return ok ? count : 1;
}

int32_t EmptyDiscClass(int discClass)
{
    switch (discClass) {
    case kCd: return 8;
    case kDvd: return 7;
    default: return 12;
    }
}

int32_t MediaClass(const DiscProperties& disc)
{
    if (disc.IsAudio()) return 2;
    if (disc.discClass < kCd || disc.discClass > kBd) return 5;
    if (disc.IsEmpty()) return EmptyDiscClass(disc.discClass);
    const char kind = IdentityKind(disc.identity);
    if (disc.discClass == kCd && (kind == '2' || kind == '3')) return 4;
    if (disc.discClass != kBd && SessionCount(disc.identity) > 1) return 6;
    switch (disc.discClass) {
    case kCd: return 1;
    case kDvd: return 3;
    default: return 9;
    }
}
} // namespace

namespace DiscTypeMapping {

DiscTypeCodes Classify(const DiscProperties& disc)
{
    DiscTypeCodes codes;
    codes.mediaClass = MediaClass(disc);
    codes.formatCode = FormatCode(disc);
    codes.totalSize = disc.usedBytes > 0 ? disc.usedBytes : 0;
    return codes;
}

} // namespace DiscTypeMapping
