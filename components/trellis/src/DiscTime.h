// Conversions of the time stamps found on discs into 64-bit file times
// (100-nanosecond units since 1601-01-01 UTC).
#pragma once
#include <cstdint>

struct TrellisVolumeTime;

namespace DiscTime {

// A calendar time with its offset from UTC in minutes; 0 when the fields
// do not form a date (month 13, day 0 and the like).
uint64_t FromCalendar(int year, int month, int day, int hour, int minute, int second, int offsetMinutes,
                      uint32_t hundredNanoseconds = 0);
// ISO 9660 directory record time: 7 bytes, year since 1900, offset in 15 minutes.
uint64_t FromIsoRecord(const uint8_t* bytes);
// ISO 9660 volume descriptor time: 17 bytes of digits and the offset byte.
bool VolumeTimeFromIsoDigits(const uint8_t* bytes, TrellisVolumeTime* time);
// ECMA-167 12-byte time stamp.
uint64_t FromEcma(const uint8_t* bytes);
// ISO 9660 record time into the 12-byte form (type 1, local time and zone).
void VolumeTimeFromIsoRecord(const uint8_t* bytes, TrellisVolumeTime* time);

} // namespace DiscTime
