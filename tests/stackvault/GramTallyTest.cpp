// The gram tallies both library engines count short queries with: how many
// names hold each gram, by its bytes.
#include "GramTally.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

std::map<std::string, int> Counts(const GramTally::Tally& tally)
{
    std::map<std::string, int> counts;
    tally.ForEach([&](std::string_view gram, int names) { counts[std::string(gram)] = names; });
    return counts;
}

TEST(GramTally, EachNameCountsOnceForEveryGramItHolds)
{
    GramTally::Tally tally;
    EXPECT_TRUE(tally.IsEmpty());
    tally.AddName("aaa");
    tally.AddName("aba");
    tally.AddName("");
    const std::map<std::string, int> expected = {{"a", 2}, {"aa", 1}, {"b", 1}, {"ab", 1}, {"ba", 1}};
    EXPECT_EQ(Counts(tally), expected);

    // Every single byte and pair of ASCII, the control characters among them.
    GramTally::Tally ascii;
    std::map<std::string, int> all;
    for (int first = 1; first < 0x80; ++first) {
        for (int second = 1; second < 0x80; ++second) {
            const std::string pair{char(first), char(second)};
            ascii.AddName(pair);
            all[pair] = first == second ? 1 : 2; // the pair itself, and once more from "second first"
            ascii.AddName(std::string{char(second), char(first)});
        }
        all[std::string(1, char(first))] = 2 * (2 * 127 - 1);
    }
    for (int same = 1; same < 0x80; ++same) all[std::string(2, char(same))] = 2;
    EXPECT_EQ(Counts(ascii), all);
}

TEST(GramTally, GramsAreCharactersNotBytesUpToTheLongestAsked)
{
    GramTally::Tally pairs;
    pairs.AddName("\xc3\xa4x\xe2\x82\xac"); // "äx€": two, one and three bytes
    const std::map<std::string, int> expected = {{"\xc3\xa4", 1}, {"x", 1}, {"\xe2\x82\xac", 1},
                                                 {"\xc3\xa4x", 1}, {"x\xe2\x82\xac", 1}};
    EXPECT_EQ(Counts(pairs), expected);

    GramTally::Tally triples;
    triples.AddName("\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80", 3); // three characters of four bytes
    EXPECT_EQ(Counts(triples)["\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80"], 1);
    EXPECT_EQ(Counts(triples).size(), 3u);
    // A sequence cut short at the end of a name is a gram of what is there.
    GramTally::Tally cut;
    cut.AddName("a\xe2\x82");
    EXPECT_EQ(Counts(cut)["a\xe2\x82"], 1);
}

TEST(GramTally, TalliesAddUpAndAnswerOnlyShortQueries)
{
    GramTally::Tally first, second;
    first.AddName("ab");
    second.AddName("ab");
    second.AddName("b\x1f");
    first.Add(second);
    first.AddName("ab"); // a name added after the merge still counts
    const std::map<std::string, int> expected = {{"a", 3}, {"b", 4}, {"ab", 3}, {"\x1f", 1}, {"b\x1f", 1}};
    EXPECT_EQ(Counts(first), expected);

    EXPECT_TRUE(GramTally::Answers("\xc3\xa4x"));
    EXPECT_FALSE(GramTally::Answers("abc"));
    EXPECT_TRUE(GramTally::Answers("abc", 3));
    EXPECT_FALSE(GramTally::Answers(""));
}

} // namespace
