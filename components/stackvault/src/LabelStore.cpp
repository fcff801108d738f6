#include "LabelStore.h"

#include "Diagnostics.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <sqlite3.h>

namespace {
// The file's picture at size x size pixels as PNG bytes.
HRESULT ReadPicture(const QString& path, int size, QByteArray& png)
{
    if (!QFileInfo(path).isFile()) return HresultFromWin32(2); // ERROR_FILE_NOT_FOUND
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull()) {
        DumpMsg("Stackvault", "label picture %s: %s", qPrintable(path), qPrintable(reader.errorString()));
        return E_INVALIDARG;
    }
    if (image.width() != size || image.height() != size)
        image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") ? S_OK : E_FAIL;
}
} // namespace

HRESULT LabelStore::Count(LONG* count)
{
    auto query = m_db.Statement("SELECT count(*) FROM labels");
    if (!query) return E_FAIL;
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "label count");
    *count = static_cast<LONG>(query->Int64(0));
    return S_OK;
}

HRESULT LabelStore::Add(const QString& path32, const QString& path128, const QString& path360, LONG* id)
{
    const QString paths[3] = {path32, path128, path360};
    QByteArray pictures[3];
    for (int i = 0; i < 3; ++i) {
        const HRESULT hr = ReadPicture(paths[i], kSizes[i], pictures[i]);
        if (FAILED(hr)) return hr;
    }
    auto insert = m_db.Statement("INSERT INTO labels(picture32, picture128, picture360) VALUES(?, ?, ?)");
    if (!insert) return E_FAIL;
    for (int i = 0; i < 3; ++i) insert->BindBlob(i + 1, pictures[i]);
    const int rc = insert->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "add label");
    if (id) *id = static_cast<LONG>(m_db.LastInsertId());
    return S_OK;
}

HRESULT LabelStore::Picture(LONG labelId, int size, QImage** picture)
{
    auto query = m_db.Statement(size == 32 ? "SELECT picture32 FROM labels WHERE id = ?"
                                           : "SELECT picture360 FROM labels WHERE id = ?");
    if (!query) return E_FAIL;
    query->Bind(1, labelId);
    const int rc = query->Step();
    if (rc == SQLITE_DONE) return E_INVALIDARG;
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "label picture");
    QImage image = QImage::fromData(query->Blob(0), "PNG");
    if (image.isNull()) return E_FAIL;
    *picture = new QImage(std::move(image));
    return S_OK;
}

HRESULT LabelStore::LastId(LONG* id)
{
    auto query = m_db.Statement("SELECT coalesce(max(id), 0) FROM labels");
    if (!query) return E_FAIL;
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "last label");
    *id = static_cast<LONG>(query->Int64(0));
    return S_OK;
}

HRESULT LabelStore::Exists(LONG labelId, bool* exists)
{
    auto query = m_db.Statement("SELECT 1 FROM labels WHERE id = ?");
    if (!query) return E_FAIL;
    query->Bind(1, labelId);
    const int rc = query->Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return m_db.Failure(rc, "label lookup");
    *exists = rc == SQLITE_ROW;
    return S_OK;
}

HRESULT LabelStore::Delete(LONG labelId)
{
    auto remove = m_db.Statement("DELETE FROM labels WHERE id = ?");
    if (!remove) return E_FAIL;
    remove->Bind(1, labelId);
    const int rc = remove->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "delete label");
    return m_db.Changes() > 0 ? S_OK : E_INVALIDARG;
}
