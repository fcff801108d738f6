// Copies a whole library into an empty one, between any two engines (a
// file and a database server, either way): tags, label pictures, discs with
// their tags, labels and read gaps, and every folder and file, written by the
// same walk an import uses. All discs go under one import, so a copy that
// fails or is killed leaves none of them; the counts of the copy are checked
// against the original at the end, and a copy that differs is removed.
#pragma once
#include "ILibraryEngine.h"

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

class LibraryCopy {
public:
    struct Counts {
        int discs = 0;
        long long folders = 0;
        long long files = 0;
    };
    // Called before each disc: its number from 1, the number of discs, its name.
    using Progress = std::function<void(int number, int total, const QString& name)>;

    LibraryCopy(ILibraryEngine* from, ILibraryEngine* to, Progress progress)
        : m_pFrom(from), m_pTo(to), m_progress(std::move(progress))
    {
    }

    // S_OK when the whole library was copied; otherwise the destination
    // holds nothing of it and Error() says why.
    HRESULT Run();
    const Counts& Copied() const { return m_copied; }
    const QString& Error() const { return m_error; }

private:
    struct CopiedDisc {
        LONG sourceId;
        LONG targetId;
        int folders;
        int files;
    };

    HRESULT Fail(HRESULT hr, const QString& why);
    HRESULT CopyTags();
    HRESULT CopyDisc(LibraryImportHandle handle, const DiscRecord& disc);
    HRESULT AddDiscRecord(const DiscRecord& disc, LONG* targetId);
    HRESULT TargetLabel(LONG sourceLabelId, LONG* targetLabelId);
    QString TargetTagIds(const DiscRecord& disc) const;
    HRESULT Verify(const std::vector<DiscRecord>& originals);
    void Undo(LibraryImportHandle handle);

    ILibraryEngine* m_pFrom;
    ILibraryEngine* m_pTo;
    Progress m_progress;
    QHash<int, int> m_tagIds;   // source tag id -> destination tag id
    std::vector<QString> m_addedTags; // tags the copy created, hidden again on failure
    QHash<int, LONG> m_labelIds; // source label set -> destination label set
    std::vector<LONG> m_addedLabels;
    std::vector<CopiedDisc> m_discs;
    Counts m_copied;
    QString m_error;
};
