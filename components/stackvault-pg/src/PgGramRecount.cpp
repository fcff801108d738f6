#include "PgGramRecount.h"

#include "PgEntryWriter.h"

namespace {
constexpr char kFetch[] = "FETCH 20000 FROM names";

HRESULT TallyDisc(PgConnection& db, PgEntryKind kind, LONG discId)
{
    const char* declare = kind == PgEntryKind::Files ? "DECLARE names NO SCROLL CURSOR FOR SELECT fold FROM files WHERE disc_id = $1"
                                                     : "DECLARE names NO SCROLL CURSOR FOR SELECT fold FROM folders WHERE disc_id = $1";
    HRESULT hr = db.Run(declare, PgParams().Int(discId), "names");
    PgGramTallies tallies;
    GramTally::Tally& tally = tallies[discId];
    for (bool more = SUCCEEDED(hr); more;) {
        PgResult names;
        hr = db.Query(kFetch, {}, names, "names");
        more = SUCCEEDED(hr) && names.Rows() > 0;
        for (int row = 0; more && row < names.Rows(); ++row)
            tally.AddName(names.View(row, 0), kPgGramLength);
    }
    if (SUCCEEDED(hr)) hr = db.Run("CLOSE names", {}, "names");
    if (SUCCEEDED(hr)) hr = PgEntryWriter::StoreGrams(db, kind, tallies);
    return hr;
}
} // namespace

namespace PgGramRecount {

HRESULT Run(PgConnection& db)
{
    PgResult discs;
    HRESULT hr = db.Run("DELETE FROM name_grams", {}, "gram tallies");
    if (SUCCEEDED(hr)) hr = db.Query("SELECT id FROM discs ORDER BY id", {}, discs, "discs");
    for (int row = 0; SUCCEEDED(hr) && row < discs.Rows(); ++row)
        for (const PgEntryKind kind : {PgEntryKind::Files, PgEntryKind::Folders})
            if (SUCCEEDED(hr)) hr = TallyDisc(db, kind, static_cast<LONG>(discs.Int64(row, 0)));
    return hr;
}

} // namespace PgGramRecount
