#include "GramTally.h"

#include <algorithm>
#include <vector>

namespace {

// Length in bytes of the UTF-8 sequence a lead byte starts.
int SequenceLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

// Where each code point of a UTF-8 text starts, and the text's end.
std::vector<size_t> CodePointStarts(std::string_view text)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); i += size_t(SequenceLength(static_cast<unsigned char>(text[i]))))
        starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

} // namespace

namespace GramTally {

bool Answers(const QByteArray& foldedQuery, int longest)
{
    const size_t points = CodePointStarts(std::string_view(foldedQuery.constData(), size_t(foldedQuery.size()))).size() - 1;
    return points >= 1 && points <= size_t(longest);
}

// Grams of up to three characters are at most twelve bytes, so the strings
// never leave their small buffer.
void AddName(std::string_view fold, Tally& tally, int longest)
{
    const std::vector<size_t> starts = CodePointStarts(fold);
    std::vector<std::string_view> grams;
    for (size_t i = 0; i + 1 < starts.size(); ++i)
        for (size_t end = i + 1; end < starts.size() && end <= i + size_t(longest); ++end)
            grams.push_back(fold.substr(starts[i], starts[end] - starts[i]));
    std::sort(grams.begin(), grams.end());
    grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
    for (const std::string_view gram : grams) ++tally[std::string(gram)];
}

} // namespace GramTally
