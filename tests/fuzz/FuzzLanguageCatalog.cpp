// The language component's XML files (MUIResource, MUIReference,
// MUIStartMenu): the same bytes through all three readers and the look-ups.
#include "LanguageCatalog.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    LanguageCatalog catalog;
    if (catalog.ParseResources(input, QStringLiteral("/fuzz")) && !catalog.DefaultLanguage()) std::abort();
    catalog.ParseReference(input);
    catalog.ParseStartMenu(input);
    for (const CatalogLanguage& language : catalog.Languages()) {
        (void)catalog.ForLocale(language.name);
        (void)catalog.StartMenuText(language.code, QStringLiteral("Name"));
    }
    (void)catalog.ForLocale(QString::fromUtf8(input.left(64)));
    return 0;
}
