#include "NewDiscArguments.h"

#include "Utf16Text.h"

#include <cstring>

namespace {
bool Read(const char16_t* text, QString& into)
{
    if (!Utf16Text::IsWellFormed(Utf16Text::View(text))) return false;
    into = Utf16Text::ToQString(Utf16Text::View(text));
    return true;
}
} // namespace

HRESULT NewDiscArguments::Read(const char* identity, const char16_t* const pictures[3], const char16_t* discName,
                               const char16_t* discTagIds, const char16_t* date, LONG audioFlag, LONG discClass,
                               LONG folderCount, LONG fileCount, INT64 usedBytes, INT64 capacityBytes)
{
    if (!identity) return E_POINTER;
    const size_t identityLength = std::strlen(identity);
    if (identityLength == 0 || identityLength >= size_t(kIdentityCapacity)) return E_INVALIDARG;
    properties = {QByteArray(identity, qsizetype(identityLength)), audioFlag, discClass, folderCount, fileCount,
                  usedBytes, capacityBytes};
    if (!::Read(discName, name) || !::Read(discTagIds, tagIds) || !::Read(date, dateText)) return E_INVALIDARG;
    for (size_t i = 0; i < labelPaths.size(); ++i)
        if (!::Read(pictures[i], labelPaths[i])) return E_INVALIDARG;
    const bool given = HasOwnLabel();
    for (const QString& path : labelPaths)
        if (path.isEmpty() == given) return E_INVALIDARG;
    return S_OK;
}
