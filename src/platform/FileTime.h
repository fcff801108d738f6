// 64-bit file times: 100-nanosecond units since 1601-01-01 UTC, the time
// stamps of catalogued entries.
#pragma once
#include "wintypes.h"

#include <QDateTime>

namespace FileTime {

constexpr INT64 kEpochDifferenceMs = 11644473600000LL; // 1601-01-01 to 1970-01-01

inline INT64 FromDateTime(const QDateTime& time) { return (time.toMSecsSinceEpoch() + kEpochDifferenceMs) * 10000; }
inline INT64 Now() { return FromDateTime(QDateTime::currentDateTimeUtc()); }
inline QDateTime ToDateTime(INT64 fileTime)
{
    return QDateTime::fromMSecsSinceEpoch(fileTime / 10000 - kEpochDifferenceMs, Qt::UTC);
}

} // namespace FileTime
