// Creates the library record of a disc being imported, before its scan:
// AddDisc with what the disc's read found and the details the user gave,
// then the new record's disc id and label id. A disc catalogued again keeps
// the label set of the record it replaces. On failure nothing is left.
#pragma once
#include "ILibraryEngine.h"

#include <QString>

struct DiscReadout;

namespace NewDiscRecord {

struct Details {
    QString name;
    QString tagIds;       // "::"-joined
    QString label32Path;  // the three label pictures, all given or all empty
    QString label128Path;
    QString label360Path;
    LONG keptLabelId = 0; // the label set of the replaced record, 0 for none
};

HRESULT Add(ILibraryEngine* library, const DiscReadout& disc, const Details& details, LONG* discId, LONG* labelId);

} // namespace NewDiscRecord
