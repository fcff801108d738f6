// Helpers for the tag tests: a fresh library through the real engine,
// loaded as the program loads it, and the string table of a language.
#pragma once
#include "CDllCom.h"
#include "ILibraryEngine.h"

#include <QString>
#include <QStringList>

// Installs the resource module of a language ("Enu", "Deu") as the
// program's string table; removed again at destruction.
class LanguageScope {
public:
    explicit LanguageScope(const QString& code);
    ~LanguageScope();
};

// One engine instance on a fresh, empty library database.
class FreshLibrary {
public:
    FreshLibrary();
    ~FreshLibrary();
    ILibraryEngine* operator->() const { return m_engine; }
    ILibraryEngine* get() const { return m_engine; }

    // Adds the four category tags, then the given user tags.
    void AddTags(const QStringList& userTags);
    // Stored names of the visible tags in engine order.
    QStringList TagNames() const;
    int TagId(const QString& name) const;
    bool IsVisible(const QString& name) const;

private:
    CDllCom m_loader;
    ILibraryEngine* m_engine = nullptr;
};

inline const char16_t* W(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }
