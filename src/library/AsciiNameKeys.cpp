#include "AsciiNameKeys.h"

#include <QString>
#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

// Every string of one and of two printable characters, and of three
// lowercase letters (the joined letters of a language are at most three).
std::vector<QString> TestStrings(char16_t first, char16_t last)
{
    std::vector<QString> strings{QString()};
    for (char16_t a = first; a <= last; ++a) {
        strings.push_back(QString(QChar(a)));
        for (char16_t b = first; b <= last; ++b) strings.push_back(QString(QChar(a)) + QChar(b));
    }
    for (char16_t a = u'a'; a <= u'z'; ++a)
        for (char16_t b = u'a'; b <= u'z'; ++b)
            for (char16_t c = u'a'; c <= u'z'; ++c) strings.push_back(QString(QChar(a)) + QChar(b) + QChar(c));
    return strings;
}

} // namespace

AsciiNameKeys::AsciiNameKeys(const QCollator& collator)
{
    std::vector<char16_t> characters;
    for (char16_t c = kFirst; c <= kLast; ++c) characters.push_back(c);
    auto compare = [&](char16_t a, char16_t b) { return collator.compare(QStringView(&a, 1), QStringView(&b, 1)); };
    std::stable_sort(characters.begin(), characters.end(), [&](char16_t a, char16_t b) { return compare(a, b) < 0; });
    char rank = 1;
    for (size_t i = 0; i < characters.size(); ++i) {
        if (i > 0 && compare(characters[i - 1], characters[i]) != 0) ++rank;
        m_ranks[size_t(characters[i] - kFirst)] = rank;
    }
}

bool AsciiNameKeys::Append(QStringView name, std::string& key) const
{
    const size_t before = key.size();
    key.resize(before + size_t(name.size()));
    char* out = key.data() + before;
    for (const QChar c : name) {
        const char16_t code = c.unicode();
        if (code < kFirst || code > kLast) {
            key.resize(before);
            return false;
        }
        *out++ = m_ranks[size_t(code - kFirst)];
    }
    return true;
}

bool AsciiNameKeys::MatchesCollator(const QCollator& collator) const
{
    const std::vector<QString> strings = TestStrings(kFirst, kLast);
    std::vector<QCollatorSortKey> sortKeys;
    std::vector<std::string> keys(strings.size());
    sortKeys.reserve(strings.size());
    for (size_t i = 0; i < strings.size(); ++i) {
        sortKeys.push_back(collator.sortKey(strings[i]));
        Append(strings[i], keys[i]);
    }
    std::vector<size_t> order(strings.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return sortKeys[a].compare(sortKeys[b]) < 0; });
    // In the collator's order, keys must rise where the collator's rise and
    // stay equal where its are equal.
    for (size_t i = 1; i < order.size(); ++i) {
        const size_t a = order[i - 1], b = order[i];
        if (Sign(sortKeys[a].compare(sortKeys[b])) != Sign(keys[a].compare(keys[b]))) return false;
    }
    return true;
}

std::shared_ptr<const AsciiNameKeys> AsciiNameKeys::For(const QCollator& collator)
{
    // Checked once per locale and setting (a few tens of milliseconds), from any thread.
    static std::mutex mutex;
    static std::map<QString, std::shared_ptr<const AsciiNameKeys>> checked;
    const QString locale = QStringLiteral("%1 %2 %3%4%5")
                               .arg(collator.locale().name(), collator.locale().bcp47Name())
                               .arg(int(collator.caseSensitivity()))
                               .arg(int(collator.numericMode()))
                               .arg(int(collator.ignorePunctuation()));
    std::lock_guard lock(mutex);
    const auto found = checked.find(locale);
    if (found != checked.end()) return found->second;
    std::shared_ptr<const AsciiNameKeys> keys(new AsciiNameKeys(collator));
    if (!keys->MatchesCollator(collator)) keys.reset();
    checked.emplace(locale, keys);
    return keys;
}
