#include "DiscEditRules.h"

#include "Utf16Text.h"

namespace DiscEditRules {

HRESULT CheckName(const char16_t* name)
{
    if (!name) return E_POINTER;
    return *name && Utf16Text::IsWellFormed(Utf16Text::View(name)) ? S_OK : E_INVALIDARG;
}

HRESULT CheckBuffer(const char16_t* buffer, LONG capacity, const LONG* length)
{
    return !length || (!buffer && capacity > 0) ? E_POINTER : S_OK;
}

HRESULT CopyWhole(const QString& text, char16_t* buffer, LONG capacity, LONG* length)
{
    *length = static_cast<LONG>(text.size());
    if (text.size() >= capacity) return S_FALSE;
    Utf16Text::CopyToField(buffer, capacity, text);
    return S_OK;
}

} // namespace DiscEditRules
