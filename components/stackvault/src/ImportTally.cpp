#include "ImportTally.h"

#include "NameMatch.h"
#include "Utf16Text.h"

#include <algorithm>

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

ImportTally::ImportTally() : m_thread([this] { Run(); }) {}

ImportTally::~ImportTally()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ImportTally::Add(EntryKind kind, ParsedBatch batch)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue.emplace_back(kind, std::move(batch));
    }
    m_changed.notify_all();
}

const NameGrams::DiscTallies& ImportTally::Tallies(EntryKind kind)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && !m_tallying; });
    return m_tallies[static_cast<int>(kind)];
}

// Tallies batches until stopped; what is still queued then is never asked for.
void ImportTally::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop) return;
        auto [kind, batch] = std::move(m_queue.front());
        m_queue.pop_front();
        m_tallying = true;
        lock.unlock();
        TallyRows(kind, batch);
        lock.lock();
        m_tallying = false;
        m_changed.notify_all();
    }
}

void ImportTally::TallyRows(EntryKind kind, const ParsedBatch& batch)
{
    NameGrams::DiscTallies& tallies = m_tallies[static_cast<int>(kind)];
    std::string folded;
    for (const EntryRow& row : batch.entries) {
        Fold(batch.Text(row.name), folded);
        tallies[row.discId].AddName(folded);
    }
}
