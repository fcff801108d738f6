#include "DiscTime.h"

#include "TrellisInterfaces.h"

#include <cstring>

namespace DiscTime {
namespace {

// Days from 1601-01-01 to the given date (proleptic Gregorian calendar).
int64_t DaysSince1601(int year, int month, int day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t daysSince1970 = era * 146097 + dayOfEra - 719468;
    return daysSince1970 + 134774;
}

int Digits(const uint8_t* bytes, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9') return -1;
        value = value * 10 + (bytes[i] - '0');
    }
    return value;
}

WORD LocalTypeAndZone(int offsetMinutes) { return WORD(0x1000 | (offsetMinutes & 0xFFF)); }

} // namespace

uint64_t FromCalendar(int year, int month, int day, int hour, int minute, int second, int offsetMinutes,
                      uint32_t hundredNanoseconds)
{
    if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 ||
        second > 60 || hour < 0 || minute < 0 || second < 0)
        return 0;
    const int64_t seconds =
        DaysSince1601(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - int64_t(offsetMinutes) * 60;
    if (seconds < 0) return 0;
    return uint64_t(seconds) * 10000000u + hundredNanoseconds;
}

uint64_t FromIsoRecord(const uint8_t* bytes)
{
    const int offset = int8_t(bytes[6]);
    return FromCalendar(1900 + bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5],
                        offset >= -48 && offset <= 52 ? offset * 15 : 0);
}

bool VolumeTimeFromIsoDigits(const uint8_t* bytes, TrellisVolumeTime* time)
{
    std::memset(time, 0, sizeof *time);
    const int year = Digits(bytes, 4);
    if (year <= 0) return false; // unset ("0000...") or not digits
    const int offset = int8_t(bytes[16]);
    time->typeAndZone = LocalTypeAndZone(offset >= -48 && offset <= 52 ? offset * 15 : 0);
    time->year = WORD(year);
    time->month = BYTE(Digits(bytes + 4, 2));
    time->day = BYTE(Digits(bytes + 6, 2));
    time->hour = BYTE(Digits(bytes + 8, 2));
    time->minute = BYTE(Digits(bytes + 10, 2));
    time->second = BYTE(Digits(bytes + 12, 2));
    time->centiseconds = BYTE(Digits(bytes + 14, 2));
    return true;
}

void VolumeTimeFromIsoRecord(const uint8_t* bytes, TrellisVolumeTime* time)
{
    std::memset(time, 0, sizeof *time);
    if (!bytes[1]) return;
    const int offset = int8_t(bytes[6]);
    time->typeAndZone = LocalTypeAndZone(offset >= -48 && offset <= 52 ? offset * 15 : 0);
    time->year = WORD(1900 + bytes[0]);
    time->month = bytes[1];
    time->day = bytes[2];
    time->hour = bytes[3];
    time->minute = bytes[4];
    time->second = bytes[5];
}

uint64_t FromEcma(const uint8_t* bytes)
{
    const uint16_t typeAndZone = uint16_t(bytes[0] | bytes[1] << 8);
    int zone = typeAndZone & 0xFFF;
    if (zone & 0x800) zone -= 0x1000;
    if ((typeAndZone >> 12) != 1 || zone < -1440 || zone > 1440) zone = 0; // unspecified or not local: as UTC
    const int year = int16_t(bytes[2] | bytes[3] << 8);
    const uint32_t fraction = bytes[9] * 100000u + bytes[10] * 1000u + bytes[11] * 10u;
    return FromCalendar(year, bytes[4], bytes[5], bytes[6], bytes[7], bytes[8], zone,
                        fraction < 10000000u ? fraction : 0);
}

} // namespace DiscTime
