// What an import records besides the rows, under its handle and before any
// row is written, so that it stands or falls with them: that the new disc
// replaces an earlier record of it, and what the disc's read missed.
#pragma once
#include "DiscReadGaps.h"

namespace ImportRecord {

// replacedDiscId 0: a new disc. An engine without the optional interface
// cannot replace (E_NOINTERFACE) and keeps no gaps (the import's message
// still tells them).
HRESULT Note(ILibraryEngine* library, LibraryImportHandle handle, LONG discId, LONG replacedDiscId,
             const DiscReadGaps& gaps);

} // namespace ImportRecord
