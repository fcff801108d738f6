// Keys that order names written in printable ASCII alone exactly as the
// name collator does, a byte per character: most names of a catalogue are
// such names, and their bytes are made and compared for a fraction of the
// cost of a collation key. A character's byte is its rank among the
// printable characters in the collator's order (those it holds equal share
// one, as "a" and "A" do without regard to case).
//
// Comparing such bytes one after the other gives the collator's order in
// most languages, but not in those that join letters ("ch" in Czech, "cs"
// in Hungarian, "aa" in Danish) or weigh them in other ways: the table is
// checked once per collator against the collator itself, on every string
// of one or two printable characters and of three letters, and is not
// offered when any of them is ordered otherwise.
#pragma once
#include <QCollator>
#include <QStringView>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

class AsciiNameKeys {
public:
    // The checked table of `collator`'s locale, shared; null when the
    // collator's order of ASCII names is not that of their keys.
    static std::shared_ptr<const AsciiNameKeys> For(const QCollator& collator);

    // Appends the key of `name` to `key`; false, with `key` as it was, when
    // the name holds a character outside printable ASCII.
    bool Append(QStringView name, std::string& key) const;

private:
    explicit AsciiNameKeys(const QCollator& collator);
    // Whether comparing keys orders every test string as the collator does.
    bool MatchesCollator(const QCollator& collator) const;

    static constexpr char16_t kFirst = u' ', kLast = u'~';
    std::array<char, kLast - kFirst + 1> m_ranks{}; // from 1: a key never holds 0
};
