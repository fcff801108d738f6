// Label image sets on the server: three square pictures as PNG (bytea).
// A label's pictures never change once stored, and ids are never reused
// (a sequence), so the thumbnails read are kept: a window asks for the
// same few for every search it shows. Forget drops them (the engine calls
// it when anyone changed the library).
#pragma once
#include "PgConnection.h"
#include "wintypes.h"

#include <QByteArray>
#include <QHash>
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
    void Forget() { m_thumbnails.clear(); }

private:
    static constexpr qsizetype kKeptThumbnails = 1024;

    PgConnection& m_db;
    QHash<LONG, QByteArray> m_thumbnails; // PNG by label id
};
