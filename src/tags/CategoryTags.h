// The four built-in category tags. The engine stores them under fixed
// English keys at positions 0 to 3 of its tag list; the program shows them
// under display names from the string table of the current language. Every
// other tag is shown under its stored name.
#pragma once
#include <QString>
#include <QStringList>

namespace CategoryTags {

constexpr int kCount = 4;
// "Video", "Photo", "Music", "Document": engine order, which seeding keeps.
const QStringList& Keys();

// The display name of a key (matched ignoring case); false and an empty
// name when the key is not one of the four.
bool categoryDisplayName(const QString& key, QString* displayName);
// The key of a display name (matched exactly, in the order Video, Photo,
// Music, Document); false and key unchanged when none matches.
bool categoryKey(const QString& displayName, QString* key);
// A names string ("Video, Holiday") as shown: category keys become their
// display names, other names stay.
QString displayTagList(const QString& namesString);
// A stored name as shown: the display name of a category key, else itself.
QString DisplayName(const QString& storedName);

} // namespace CategoryTags
