// The argument rules of the optional disc interfaces (a disc's whole tag
// list, a new disc name), the same in every library engine.
#pragma once
#include "hresult.h"
#include "wintypes.h"

#include <QString>

namespace DiscEditRules {

// E_POINTER without a name, E_INVALIDARG for an empty or ill-formed one.
HRESULT CheckName(const char16_t* name);
// E_POINTER without a length, or without a buffer when capacity claims one.
HRESULT CheckBuffer(const char16_t* buffer, LONG capacity, const LONG* length);
// Sets *length to the text's length; copies the text with its terminator
// only when both fit (S_OK), else copies nothing (S_FALSE: ask again).
HRESULT CopyWhole(const QString& text, char16_t* buffer, LONG capacity, LONG* length);

} // namespace DiscEditRules
