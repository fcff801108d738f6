// The engine's tag list read the way the engine wants it read: ask the
// count, allocate that many zero-filled records, let the engine fill them.
#pragma once
#include "ILibraryEngine.h"

#include <QString>
#include <vector>

namespace TagRecords {

// The visible tags in engine order (the four category tags first). On
// failure *records is left unchanged.
HRESULT Read(ILibraryEngine* library, std::vector<TagRecord>* records);
QString Name(const TagRecord& record);
// The engine's form of a text argument.
inline const char16_t* Utf16(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

} // namespace TagRecords
