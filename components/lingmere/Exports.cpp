// The C exports of the language component.
#include "Diagnostics.h"
#include "Lingmere.h"

namespace {
QString Text(const char16_t* text) { return text ? QString::fromUtf16(text) : QString(); }
} // namespace

ALBIREO_EXPORT ILingmere* GetLingmere(const char16_t* resourceXml, const char16_t* referenceXml,
                                      const char16_t* startMenuXml, BOOL isSystemDefault, int version)
{
    if (version != kLingmereVersion) {
        DumpMsg("Lingmere", "interface version %d is not supported", version);
        return nullptr;
    }
    LanguageCatalog catalog;
    if (!catalog.LoadResources(Text(resourceXml))) {
        DumpMsg("Lingmere", "%s", qUtf8Printable(catalog.ErrorString()));
        return nullptr;
    }
    // Without the other two files the locale maps to the default language and
    // there are no start menu texts; both are reported, neither is fatal.
    if (!catalog.LoadReference(Text(referenceXml))) DumpMsg("Lingmere", "%s", qUtf8Printable(catalog.ErrorString()));
    if (!catalog.LoadStartMenu(Text(startMenuXml))) DumpMsg("Lingmere", "%s", qUtf8Printable(catalog.ErrorString()));
    return new Lingmere(std::move(catalog), isSystemDefault == 1);
}

ALBIREO_EXPORT HRESULT ReleaseLingmere(ILingmere* object)
{
    if (!object) return E_POINTER;
    object->Release();
    return S_OK;
}
