// The short grams of folded names, tallied per disc: how many names contain
// each gram. A folded query no longer than the longest gram tallied is
// contained in a name exactly when it is one of the name's grams, so these
// tallies count such a query at once, where a scan of ten million names
// takes seconds. Both library engines keep them beside the names: grams of
// one and two characters; the engine on a database server also those of
// three, since there a query's count would otherwise read every candidate row.
#pragma once
#include <QByteArray>
#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace GramTally {

// The longest grams every library tallies, in characters.
constexpr int kPairs = 2;
// The longest grams any library tallies (a Tally keeps no longer ones).
constexpr int kMostCharacters = 3;

// Whether a folded query is one the tallies answer: one to `longest` characters.
bool Answers(const QByteArray& foldedQuery, int longest = kPairs);

// Names holding each gram. An import tallies a hundred thousand names in a
// few grams each: a gram is a key of its bytes, not a string, and a name's
// repeated grams are told apart by the name's serial number, not sorted out.
class Tally {
public:
    // Adds every distinct gram of one to `longest` characters of one folded
    // name (UTF-8) once.
    void AddName(std::string_view fold, int longest = kPairs);
    // Adds the counts of another tally.
    void Add(const Tally& other);
    bool IsEmpty() const { return m_counts.empty() && m_direct.empty(); }
    // visit(gram (UTF-8), names holding it) for every gram.
    template <class Visit>
    void ForEach(Visit visit) const
    {
        for (size_t slot = 0; slot < m_direct.size(); ++slot) {
            if (m_direct[slot].count == 0) continue;
            char text[2];
            visit(DirectGram(slot, text), m_direct[slot].count);
        }
        for (const auto& [gram, names] : m_counts) visit(gram.Text(), names.count);
    }

private:
    // A gram of up to three characters: its bytes (at most twelve), zeros,
    // and its length in the last byte.
    struct Gram {
        std::array<char, 16> bytes{};
        static Gram Of(std::string_view text);
        std::string_view Text() const { return {bytes.data(), size_t(bytes[15])}; }
        bool operator==(const Gram&) const = default;
    };
    struct GramHash {
        size_t operator()(const Gram& gram) const;
    };
    struct Names {
        int count = 0;
        int64_t last = -1; // serial of the last name counted
    };
    // Grams of one or two ASCII characters from the blank on (nearly every
    // gram of most names) are counted in slots of their own, without a hash:
    // kDirectUnits singles, then the pairs.
    static constexpr int kFirstDirect = 0x20;
    static constexpr int kDirectUnits = 0x80 - kFirstDirect;
    static constexpr size_t kDirectSlots = kDirectUnits + kDirectUnits * kDirectUnits;
    // The slot of a gram, or -1 for a gram counted by the map.
    static int DirectSlot(std::string_view gram);
    // The text of the gram of a slot, written into `text`.
    static std::string_view DirectGram(size_t slot, char (&text)[2]);
    Names& Counted(std::string_view gram);
    void Note(std::string_view gram, int64_t name);

    std::vector<Names> m_direct; // kDirectSlots from the first gram counted here, else empty
    std::unordered_map<Gram, Names, GramHash> m_counts;
    int64_t m_names = 0; // names added so far: the next one's serial
};

} // namespace GramTally
