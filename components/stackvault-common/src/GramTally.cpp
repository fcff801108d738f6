#include "GramTally.h"

#include <algorithm>
#include <cstring>

namespace {

// Length in bytes of the UTF-8 sequence a lead byte starts.
int SequenceLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

// The end of the code point that starts at `at` (never past the text).
size_t NextStart(std::string_view text, size_t at)
{
    return std::min(text.size(), at + size_t(SequenceLength(static_cast<unsigned char>(text[at]))));
}

} // namespace

namespace GramTally {

bool Answers(const QByteArray& foldedQuery, int longest)
{
    const std::string_view text(foldedQuery.constData(), size_t(foldedQuery.size()));
    int points = 0;
    for (size_t at = 0; at < text.size(); at = NextStart(text, at)) ++points;
    return points >= 1 && points <= longest;
}

Tally::Gram Tally::Gram::Of(std::string_view text)
{
    Gram gram;
    std::memcpy(gram.bytes.data(), text.data(), text.size());
    gram.bytes[15] = static_cast<char>(text.size());
    return gram;
}

size_t Tally::GramHash::operator()(const Gram& gram) const
{
    uint64_t low = 0, high = 0;
    std::memcpy(&low, gram.bytes.data(), sizeof low);
    std::memcpy(&high, gram.bytes.data() + sizeof low, sizeof high);
    return static_cast<size_t>((low * 0x9E3779B97F4A7C15ULL) ^ (high * 0xC2B2AE3D27D4EB4FULL) ^ (low >> 29));
}

int Tally::DirectSlot(std::string_view gram)
{
    auto unit = [&](size_t at) { return static_cast<unsigned char>(gram[at]) - kFirstDirect; };
    auto direct = [&](size_t at) { return unit(at) >= 0 && unit(at) < kDirectUnits; };
    if (gram.size() == 1) return direct(0) ? unit(0) : -1;
    if (gram.size() == 2 && direct(0) && direct(1)) return kDirectUnits + unit(0) * kDirectUnits + unit(1);
    return -1;
}

std::string_view Tally::DirectGram(size_t slot, char (&text)[2])
{
    if (slot < kDirectUnits) {
        text[0] = static_cast<char>(kFirstDirect + slot);
        return {text, 1};
    }
    const size_t pair = slot - kDirectUnits;
    text[0] = static_cast<char>(kFirstDirect + pair / kDirectUnits);
    text[1] = static_cast<char>(kFirstDirect + pair % kDirectUnits);
    return {text, 2};
}

Tally::Names& Tally::Counted(std::string_view gram)
{
    const int slot = DirectSlot(gram);
    if (slot < 0) return m_counts[Gram::Of(gram)];
    if (m_direct.empty()) m_direct.resize(kDirectSlots);
    return m_direct[size_t(slot)];
}

void Tally::Note(std::string_view gram, int64_t name)
{
    Names& names = Counted(gram);
    if (names.last == name) return; // the name holds this gram twice
    names.last = name;
    ++names.count;
}

void Tally::AddName(std::string_view fold, int longest)
{
    const int64_t name = m_names++;
    longest = std::min(longest, kMostCharacters);
    for (size_t start = 0; start < fold.size(); start = NextStart(fold, start)) {
        size_t end = start;
        for (int points = 1; points <= longest && end < fold.size(); ++points) {
            end = NextStart(fold, end);
            Note(fold.substr(start, end - start), name);
        }
    }
}

void Tally::Add(const Tally& other)
{
    if (!other.m_direct.empty()) {
        if (m_direct.empty()) m_direct.resize(kDirectSlots);
        for (size_t slot = 0; slot < kDirectSlots; ++slot) m_direct[slot].count += other.m_direct[slot].count;
    }
    for (const auto& [gram, names] : other.m_counts) m_counts[gram].count += names.count;
}

} // namespace GramTally
