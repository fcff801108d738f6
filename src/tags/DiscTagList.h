// A disc's tags as the program uses them: the disc's whole ids string (the
// disc record holds only its first 259 characters, which a disc with many
// tags exceeds) and the names string built from the engine's tag records
// and those ids, never from a text cut to a record's field.
#pragma once
#include "ILibraryEngine.h"

#include <QString>
#include <vector>

namespace DiscTagList {

struct Ids {
    QString text;      // "::"-joined ids
    bool whole = true; // false: the record cut the list and the engine could not give it whole
};

// The disc's ids: the record's text when it fits the record's field, else
// the whole text through the engine's ILibraryDiscTags. Without that, the
// cut text keeps only its complete ids (the last one may be cut inside
// its number) and is marked not whole: it must never be written back.
Ids Read(ILibraryEngine* library, const DiscRecord& disc);
// The stored names (joined with ", ") of the visible tags among the ids,
// in the order of the engine's tag list.
QString Names(const std::vector<TagRecord>& tags, const QString& idsText);

} // namespace DiscTagList
