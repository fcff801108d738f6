// What a disc's read could not read (folders whose entries are missing,
// files whose entry or data is, and why), and the texts that tell the user:
// the message at the end of an incomplete import and the reason shown with
// an incomplete disc in the disc list. Comes from the disc engine's reader
// during the scan, and from the library's record of the disc afterwards.
#pragma once
#include "ILibraryDiscReads.h"
#include "TrellisInterfaces.h"

#include <QString>

class DiscReadGaps {
public:
    DiscReadGaps() = default;
    explicit DiscReadGaps(const DiscGapRecord& record) : m_record(record) {}

    // What the reader's parse missed; nothing for a reader that cannot tell.
    static DiscReadGaps OfReader(ITrellisReader* reader);
    // What the library recorded for the disc; nothing for an engine without
    // that record, or when it cannot be read.
    static DiscReadGaps OfDisc(ILibraryEngine* library, LONG discId);

    const DiscGapRecord& Record() const { return m_record; }
    // Some folder or file could not be read. An image cut short in a part
    // that holds nothing catalogued is complete.
    bool IsIncomplete() const { return m_record.unreadFolders > 0 || m_record.unreadFiles > 0; }

    // The message of an import that missed something: the counts, that the
    // disc was catalogued without them, and why where known.
    QString ImportMessage() const;
    // The reason of an incomplete disc's mark: the counts and why.
    QString ReasonText() const;
    // "1.5 MB", "32 MB", "700 KB": a byte count for these texts.
    static QString SizeText(INT64 bytes);

private:
    // One line per known cause.
    QString Causes() const;

    DiscGapRecord m_record{};
};
