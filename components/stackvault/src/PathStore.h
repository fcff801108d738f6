// Path texts ("\DIR\SUB") shared by the whole library. A path already known
// keeps its id; an import notes the paths it created so that they can be
// removed with its discs.
#pragma once
#include "ParsedBatch.h"
#include "SqliteConnection.h"
#include "wintypes.h"

#include <QString>
#include <functional>
#include <string_view>
#include <vector>

class PathStore {
public:
    explicit PathStore(SqliteConnection& db) : m_db(db) {}

    // Writer: call inside a write transaction. Stores each path row; a row
    // equal to a stored path is accepted as it is, one that clashes with a
    // stored path (same id or text, other partner) refuses the batch.
    // storedIds receives the id of each row, in the batch's order.
    HRESULT Insert(const ParsedBatch& batch, bool hasIds, std::vector<LONG>& storedIds);
    // Id of a path, 0 when unknown.
    HRESULT Find(std::u16string_view text, LONG* id);
    // Every stored path below the folder path `folder` (at any depth).
    HRESULT Below(std::u16string_view folder, const std::function<void(std::u16string_view, LONG)>& path);
    // Path 0 (a disc's root) is the empty text.
    HRESULT Text(LONG id, QString& text);
    // The stored paths with ids first .. last, in id order, their texts in
    // UTF-8 as stored; `path` returns false to stop.
    HRESULT Texts(LONG first, LONG last, const std::function<bool(LONG, std::string_view)>& path);
    HRESULT MaxId(LONG* id);

private:
    HRESULT InsertOne(LONG id, std::u16string_view text, LONG* storedId);

    SqliteConnection& m_db;
};
