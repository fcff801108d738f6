// Label image sets: three square pictures (32, 128 and 360 pixels) stored
// as PNG inside the library, so the files they came from may go afterwards.
#pragma once
#include "SqliteConnection.h"
#include "wintypes.h"

#include <QString>

class QImage;

class LabelStore {
public:
    explicit LabelStore(SqliteConnection& db) : m_db(db) {}

    HRESULT Count(LONG* count);
    // Writer: call inside a write transaction. Each file must hold a
    // picture; one of another size is scaled to its set's size.
    HRESULT Add(const QString& path32, const QString& path128, const QString& path360, LONG* id);
    // The picture of the given size (32 or 360); the caller owns it.
    HRESULT Picture(LONG labelId, int size, QImage** picture);
    HRESULT LastId(LONG* id);
    HRESULT Exists(LONG labelId, bool* exists);
    HRESULT Delete(LONG labelId);

private:
    SqliteConnection& m_db;
};
