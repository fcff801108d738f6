#include "DiscNameEdit.h"

#include "ComPtr.h"
#include "ILibraryDiscEdits.h"

namespace {

ComPtr<ILibraryDiscEdits> EditsOf(ILibraryEngine* engine)
{
    ComPtr<ILibraryDiscEdits> edits;
    if (!engine || FAILED(engine->QueryInterface(IID_ILibraryDiscEdits, edits.PutVoid()))) edits.Reset();
    return edits;
}

} // namespace

namespace DiscNameEdit {

bool Available(ILibraryEngine* engine) { return bool(EditsOf(engine)); }

HRESULT Set(ILibraryEngine* engine, LONG discId, const QString& name)
{
    if (name.trimmed().isEmpty()) return E_INVALIDARG;
    const ComPtr<ILibraryDiscEdits> edits = EditsOf(engine);
    if (!edits) return E_NOTIMPL;
    return edits->SetDiscName(discId, reinterpret_cast<const char16_t*>(name.utf16()));
}

} // namespace DiscNameEdit
