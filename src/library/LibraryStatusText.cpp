#include "LibraryStatusText.h"

#include "LibraryServerErrors.h"
#include "ResourceIds.h"
#include "StringResources.h"

namespace LibraryStatusText {

QString ImportWait(const ImportSlotHolder& holder)
{
    const QString program = QString::fromUtf16(holder.program);
    const QByteArray processId = QByteArray::number(holder.processId);
    return QString::asprintf(LoadString(IDS_FMT_IMPORT_WAITING).toUtf8().constData(), program.toUtf8().constData(),
                             processId.constData());
}

QString WriteFailure(HRESULT reason)
{
    constexpr HRESULT kDiskFull = HresultFromWin32(112); // ERROR_DISK_FULL
    if (SUCCEEDED(reason)) return {};
    return LoadString(reason == kDiskFull ? IDS_MSG_LIBRARY_FULL : IDS_MSG_LIBRARY_READ_ONLY);
}

QString OpenFailure(HRESULT hr)
{
    switch (hr) {
    case LIBRARY_E_SERVER_UNREACHABLE: return LoadString(IDS_MSG_SERVER_UNREACHABLE);
    case LIBRARY_E_LOGIN_REFUSED: return LoadString(IDS_MSG_SERVER_LOGIN_REFUSED);
    case LIBRARY_E_NO_DATABASE: return LoadString(IDS_MSG_SERVER_NO_DATABASE);
    case LIBRARY_E_SCHEMA_NEWER: return LoadString(IDS_MSG_LIBRARY_NEWER);
    default: return {};
    }
}

HRESULT WriteFailureOf(ILibraryEngine* library)
{
    ILibraryEngineStatus* status = nullptr;
    if (!library || FAILED(library->QueryInterface(IID_ILibraryEngineStatus, reinterpret_cast<void**>(&status))))
        return S_OK;
    HRESULT reason = S_OK;
    if (FAILED(status->GetWriteFailure(&reason))) reason = S_OK;
    status->Release();
    return reason;
}

QString ImportFailureCause(ILibraryEngine* library)
{
    const QString unwritable = WriteFailure(WriteFailureOf(library));
    if (!unwritable.isEmpty()) return unwritable;
    LONG discs = 0;
    return library ? OpenFailure(library->GetDiscCount(&discs)) : QString();
}

QString ImportFailure(ILibraryEngine* library)
{
    const QString cause = ImportFailureCause(library);
    return cause.isEmpty() ? LoadString(IDS_MSG_IMPORT_FAILED) : cause;
}

} // namespace LibraryStatusText
