// Finds the file system of a disc: UDF when present (a disc with both UDF
// and ISO 9660 is read through UDF), else ISO 9660; none on audio discs.
#pragma once
#include "DiscMedium.h"
#include "FileSystemReader.h"

#include <memory>

namespace FileSystemProbe {

// The reader of the disc's file system with the volume's properties in
// `info`; nullptr (and fsType TRELLIS_FS_NONE) when there is none.
std::unique_ptr<FileSystemReader> Open(DiscMedium& medium, VolumeInfo& info);

} // namespace FileSystemProbe
