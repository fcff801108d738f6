#include "FakeEngines.h"

#include <QRegularExpression>
#include <algorithm>

HRESULT FakeReader::Fill(TrellisFindEntry* entry)
{
    if (m_next >= m_current.size()) return TRELLIS_E_NO_MORE_ENTRIES;
    const FakeEntry& source = m_current[m_next++];
    *entry = {};
    entry->attributes = source.folder ? TRELLIS_ATTRIBUTE_DIRECTORY : 0;
    entry->time = {0x89ABCDEF, 0x01D00000};
    entry->size = source.size;
    std::copy_n(source.name.utf16(), source.name.size(), entry->name);
    return S_OK;
}

HRESULT FakeReader::FindFirst(LPCWSTR path, TrellisFindEntry* entry)
{
    const QString folder = QString::fromUtf16(path);
    if (onFindFirst) onFindFirst(folder);
    if (unreadable.contains(folder) || !tree.contains(folder)) return TRELLIS_E_PATH_NOT_FOUND;
    m_current = tree.value(folder);
    m_next = 0;
    return Fill(entry);
}

HRESULT FakeReader::FindNext(TrellisFindEntry* entry) { return Fill(entry); }

int FakeLibrary::RowsOf(const QString& batch) const { return batch.count(QStringLiteral(" SELECT ")) ; }

std::vector<LibraryCall> FakeLibrary::CallsOf(const QString& operation) const
{
    std::vector<LibraryCall> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                 [&](const LibraryCall& c) { return c.operation == operation; });
    return found;
}

HRESULT FakeLibrary::Record(const QString& operation, const char16_t* batch)
{
    std::lock_guard lock(m_mutex);
    const QString text = batch ? QString::fromUtf16(batch) : QString();
    calls.push_back({operation, text, RowsOf(text)});
    return failing.contains(operation) ? E_FAIL : S_OK;
}

HRESULT FakeLibrary::InsertPathRows(LibraryImportHandle, const char16_t* batch, LONG)
{
    // Remember the paths so that later look-ups find them, as the real library does.
    static const QRegularExpression row(QStringLiteral("(\\d+), '((?:[^']|'')*)'"));
    std::lock_guard lock(m_mutex);
    const QString text = QString::fromUtf16(batch);
    for (auto match = row.globalMatch(text); match.hasNext();) {
        const auto m = match.next();
        knownPaths[m.captured(2).replace(QStringLiteral("''"), QStringLiteral("'"))] = m.captured(1).toInt();
    }
    return Record("paths", batch);
}

HRESULT FakeLibrary::AddPath(LibraryImportHandle, LONG pathId, const char16_t* text)
{
    std::lock_guard lock(m_mutex);
    knownPaths[QString::fromUtf16(text)] = pathId;
    return Record("addpath", text);
}

HRESULT FakeLibrary::FindPathId(LibraryImportHandle, const char16_t* text, LONG* id)
{
    std::lock_guard lock(m_mutex);
    *id = knownPaths.value(QString::fromUtf16(text), 0);
    return S_OK;
}
