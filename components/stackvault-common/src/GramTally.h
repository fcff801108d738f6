// The short grams of folded names, tallied per disc: how many names contain
// each gram. A folded query no longer than the longest gram tallied is
// contained in a name exactly when it is one of the name's grams, so these
// tallies count such a query at once, where a scan of ten million names
// takes seconds. Both library engines keep them beside the names: grams of
// one and two characters; the engine on a database server also those of
// three, since there a query's count would otherwise read every candidate row.
#pragma once
#include <QByteArray>
#include <string>
#include <string_view>
#include <unordered_map>

namespace GramTally {

using Tally = std::unordered_map<std::string, int>; // gram (UTF-8) -> names holding it

// The longest grams every library tallies, in characters.
constexpr int kPairs = 2;

// Whether a folded query is one the tallies answer: one to `longest` characters.
bool Answers(const QByteArray& foldedQuery, int longest = kPairs);
// Adds every distinct gram of one to `longest` characters of one folded
// name (UTF-8) to the tally, once.
void AddName(std::string_view fold, Tally& tally, int longest = kPairs);

} // namespace GramTally
