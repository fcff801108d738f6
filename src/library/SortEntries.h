// The fields a list is sorted by, for every row, kept by column so that a
// folder of a million entries costs tens of megabytes, not hundreds: names
// side by side in one block, and each of the other texts (a type, a disc's
// tags, a date that is only text) stored once however many rows share it.
// Filled on one thread, then read from any.
#pragma once
#include "wintypes.h"

#include <QString>
#include <QStringView>
#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

class SortEntries {
public:
    // The texts kept once per distinct value.
    enum Field { Tags, Type, DateText, kFields };

    void Reserve(size_t rows);
    void Add(DWORD flags, QStringView name, QStringView tags, QStringView type, QStringView dateText, INT64 time,
             INT64 size);

    size_t Count() const { return m_flags.size(); }
    DWORD Flags(size_t row) const { return m_flags[row]; }
    QStringView Name(size_t row) const;
    // The index of the row's text in Texts().
    int TextIndex(Field field, size_t row) const { return m_textIndexes[field][row]; }
    const std::vector<QString>& Texts() const { return m_texts; }
    INT64 Time(size_t row) const { return m_times[row]; }
    INT64 Size(size_t row) const { return m_sizes[row]; }

private:
    int TextIndexOf(QStringView text);

    // A text looked up lately, by where its characters were: most rows'
    // types are views of the few strings their reader keeps, found here
    // without hashing them.
    struct Seen {
        const QChar* chars = nullptr;
        qsizetype size = 0;
        int index = -1;
    };

    std::vector<DWORD> m_flags;
    std::vector<char16_t> m_nameChars;
    std::vector<size_t> m_nameEnds;
    std::vector<int> m_textIndexes[kFields];
    std::vector<QString> m_texts;
    // Views of m_texts' characters, which stay in place as the vector grows.
    std::unordered_map<std::u16string_view, int> m_textIndexOf;
    int m_emptyTextIndex = -1;
    static constexpr int kSeenBits = 6;
    std::array<Seen, size_t(1) << kSeenBits> m_seen;
    std::vector<INT64> m_times;
    std::vector<INT64> m_sizes;
};
