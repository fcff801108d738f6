// Which catalogued discs were read incompletely, for the disc list: such a
// disc's picture carries a warning badge and its name's tooltip tells what
// could not be read and why. Read once per reload of the discs (one
// question to the library per disc; discs are few).
#pragma once
#include "ILibraryEngine.h"

#include <QHash>
#include <QPixmap>
#include <QString>
#include <vector>

class IncompleteDiscMarks {
public:
    void Read(ILibraryEngine* library, const std::vector<DiscRecord>& discs);
    bool IsIncomplete(int discId) const { return m_reasons.contains(discId); }
    // What could not be read and why; "" for a complete disc.
    QString ReasonOf(int discId) const { return m_reasons.value(discId); }
    // The disc's picture, with the badge when the disc is incomplete.
    QPixmap Mark(int discId, const QPixmap& picture) const;

private:
    QHash<int, QString> m_reasons;
};
