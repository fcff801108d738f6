// DiscNameEdit: gives a catalogued disc a new name, through the library
// engine's optional edits interface. An engine without it cannot rename;
// the window then offers no renaming.
//
//     if (DiscNameEdit::Available(engine)) hr = DiscNameEdit::Set(engine, discId, name);
#pragma once
#include "ILibraryEngine.h"

#include <QString>

namespace DiscNameEdit {

bool Available(ILibraryEngine* engine);
// E_NOTIMPL when the engine cannot rename; E_INVALIDARG for an empty name.
HRESULT Set(ILibraryEngine* engine, LONG discId, const QString& name);

} // namespace DiscNameEdit
