// The language component's object (ILingmere): the catalog of installed
// languages and the language chosen, created by GetLingmere.
#pragma once
#include "ILingmere.h"
#include "LanguageCatalog.h"

class Lingmere final : public ILingmere {
public:
    // startInSystemLanguage: begin in the locale's language, else in the
    // catalog's default language.
    Lingmere(LanguageCatalog catalog, bool startInSystemLanguage);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetSystemLanguage(char16_t* buffer) override;
    HRESULT SetLanguage(const char16_t* code) override;
    HRESULT GetResourcePath(char16_t* buffer) override;
    HRESULT GetLanguage(char16_t* buffer) override;
    HRESULT GetStartMenuText(const char16_t* entry, char16_t* buffer) override;

private:
    ~Lingmere() = default;

    ComRefCount m_refs;
    LanguageCatalog m_catalog;
    const CatalogLanguage* m_systemLanguage;
    const CatalogLanguage* m_language;
};
