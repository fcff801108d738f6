#include "ImportTally.h"

#include "BackgroundPriority.h"
#include "NameMatch.h"
#include "Utf16Text.h"

#include <algorithm>
#include <limits>

namespace {

// The name folded as sv_fold folds the stored name, into `folded`.
void Fold(std::u16string_view name, std::string& folded)
{
    if (std::any_of(name.begin(), name.end(), [](char16_t unit) { return unit >= 0x80; })) {
        const QByteArray text = Utf16Text::Folded(name);
        folded.assign(text.constData(), size_t(text.size()));
        return;
    }
    folded.assign(name.begin(), name.end());
    NameMatch::LowerAscii(folded);
}

} // namespace

// The tallies are needed when the import closes, after its name index:
// their thread gives way to the import's writes meanwhile.
ImportTally::ImportTally()
    : m_worker(
          [this](Rows& rows) {
              if (!m_backgrounded) BackgroundPriority::LowerCurrentThread();
              m_backgrounded = true;
              TallyRows(rows);
          },
          std::numeric_limits<size_t>::max(), OrderedWorker<Rows>::AtEnd::DropQueued)
{
}

void ImportTally::Add(EntryKind kind, ParsedBatch batch) { m_worker.Queue({kind, std::move(batch)}); }

const NameGrams::DiscTallies& ImportTally::Tallies(EntryKind kind)
{
    m_worker.Drain();
    return m_tallies[static_cast<int>(kind)];
}

void ImportTally::TallyRows(const Rows& rows)
{
    const auto& [kind, batch] = rows;
    NameGrams::DiscTallies& tallies = m_tallies[static_cast<int>(kind)];
    std::string folded;
    for (const EntryRow& row : batch.entries) {
        Fold(batch.Text(row.name), folded);
        tallies[row.discId].AddName(folded);
    }
}
