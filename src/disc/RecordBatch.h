// One batch of record rows for the library engine: rows of text joined by
// " SELECT " (the first; two leading blanks for folder batches) and
// " UNION SELECT ". A batch is full at 600 rows.
#pragma once
#include "wintypes.h"

#include <QString>

class RecordBatch {
public:
    static constexpr int kMaxRows = 600;

    explicit RecordBatch(bool folderBatch = false) : m_bFolderBatch(folderBatch) {}

    // Doubles every apostrophe so the text can stand between quotes.
    static QString Quote(const QString& text);

    static QString FileRow(int fileId, const QString& name, INT64 size, const QString& typeName, INT64 time,
                           int discId, int labelId, int folderId, int folderPathId);
    static QString FolderRow(int folderId, const QString& name, INT64 size, INT64 time, int discId, int labelId,
                             int parentId, int parentPathId);
    static QString PathRow(int pathId, const QString& pathText);
    static QString TrackRow(int trackNumber, INT64 time, int discId, int labelId);

    void Append(const QString& row);
    bool IsFull() const { return m_nRows >= kMaxRows; }
    bool IsEmpty() const { return m_nRows == 0; }
    int RowCount() const { return m_nRows; }
    const QString& Text() const { return m_text; }
    const WCHAR* Utf16() const { return reinterpret_cast<const WCHAR*>(m_text.utf16()); }
    void Clear();
    // The batch's text; the batch is then empty, with room for as much text.
    QString TakeText();

private:
    bool m_bFolderBatch;
    int m_nRows = 0;
    QString m_text;
};
