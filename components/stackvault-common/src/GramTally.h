// The one- and two-character grams of folded names, tallied per disc: how
// many names contain each gram. A folded query of one or two characters is
// contained in a name exactly when it is one of the name's grams, so these
// tallies count such a query at once, where a scan of ten million names
// takes seconds. Both library engines keep them beside the names.
#pragma once
#include <QByteArray>
#include <string>
#include <string_view>
#include <unordered_map>

namespace GramTally {

using Tally = std::unordered_map<std::string, int>; // gram (UTF-8) -> names holding it

// Whether a folded query is one the tallies answer (one or two characters).
bool Answers(const QByteArray& foldedQuery);
// Adds every distinct gram of one folded name (UTF-8) to the tally, once.
void AddName(std::string_view fold, Tally& tally);

} // namespace GramTally
