// Turns a disc's properties into the codes of its record, from which the
// file list builds the disc's type text ("<class word> <format word>").
//
// Format code: the physical format, from the disc class and capacity.
//   0  unknown (no capacity given)
//   1  standard disc: 12 cm CD, single-layer DVD (up to 4.7 GB), single-layer BD (25 GB)
//   2  dual layer: DVD above 4.7 GB, BD above 25 GB up to 50 GB
//   3  BDXL with three layers (up to 100 GB)
//   5  8 cm disc: CD up to 210 MB, DVD up to 2.66 GB, BD up to 15.6 GB
//   6  BDXL with four layers (above 100 GB)
// Media class code: what kind of disc it is.
//   1  CD holding data
//   2  audio CD
//   3  DVD holding data
//   4  CD whose data sits in XA tracks (identity kinds 2 and 3: Video CD and relatives)
//   5  disc of unknown class, named by its format code alone
//   6  multisession data disc (CD or DVD written in more than one session)
//   7  DVD without folders or files
//   8  CD without folders or files
//   9  BD holding data
//   12 BD without folders or files
// Total size: the used bytes (0 when unknown).
#pragma once
#include "DiscProperties.h"

struct DiscTypeCodes {
    int32_t mediaClass = 0;
    int32_t formatCode = 0;
    int64_t totalSize = 0;
};

namespace DiscTypeMapping {

DiscTypeCodes Classify(const DiscProperties& disc);

} // namespace DiscTypeMapping
