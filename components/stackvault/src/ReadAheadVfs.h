// A file system layer for connections that scan a library from end to end
// (a listing's worker): SQLite reads the database a page at a time, and at
// ten million rows the system calls for hundreds of thousands of 4 KB reads
// cost more than the scan itself. Reads of the main database file that
// move forward are served from a block of kBlockBytes read at once; any
// other read goes to the file as it is. A block is forgotten whenever the
// connection's locks change, so it never outlives the read transaction in
// which it was read (within one, the pages read from the file stay as
// they are: a checkpoint writes only pages the reader takes from the log).
#pragma once

namespace ReadAheadVfs {

// 16 pages: a scanned table's pages come in runs of a few between other
// tables' (the file rows' between the name index's), and larger blocks
// copy more of those: at 256 KB the kernel's copying took twice the
// system time of a ten-million-row scan that it takes at 64 KB.
inline constexpr int kBlockBytes = 64 * 1024;

// The name to open a connection with (sqlite3_open_v2's zVfs), registered
// on the first call over the default layer; null when it cannot be.
const char* Name();

} // namespace ReadAheadVfs
