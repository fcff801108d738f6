// Label image sets on the server: three square pictures as PNG (bytea).
#pragma once
#include "PgConnection.h"
#include "wintypes.h"

#include <QString>

class QImage;

class PgLabelStore {
public:
    explicit PgLabelStore(PgConnection& db) : m_db(db) {}

    HRESULT Count(LONG* count);
    HRESULT Exists(LONG labelId, bool* exists);
    HRESULT Add(const QString& path32, const QString& path128, const QString& path360, LONG* id);
    // The picture of the given size (32 or 360); the caller owns it.
    HRESULT Picture(LONG labelId, int size, QImage** picture);
    HRESULT LastId(LONG* id);
    HRESULT Delete(LONG labelId);

private:
    PgConnection& m_db;
};
