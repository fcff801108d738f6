// What the language component knows from its three XML files.
//
// MUIResource.xml: the installed languages and their resource modules.
//   <MUIResource Version="1" Default="Enu">
//     <Language Code="Enu" Name="English" Module="..\Language\Enu\FlwRC.dll"/>
//   </MUIResource>
// Module paths are relative to the folder of MUIResource.xml. Default names
// the language used when nothing else applies; it must be one of the list.
//
// MUIReference.xml: locale names (as in LANG, without encoding) to codes.
//   <MUIReference Version="1"><Locale Name="de" Language="Deu"/></MUIReference>
// "de_AT" is looked up as "de_AT", then as "de".
//
// MUIStartMenu.xml: start menu texts per language.
//   <MUIStartMenu Version="1">
//     <Language Code="Enu"><Entry Id="Name" Text="Albireo"/></Language>
//   </MUIStartMenu>
//
// Codes, locale names and entry ids match ignoring case. Each reader accepts
// only its documented elements and fails with a message on anything else.
#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

struct CatalogLanguage {
    QString code; // as written in MUIResource.xml
    QString name; // the language's own name
    QString modulePath; // absolute, slashes
};

class LanguageCatalog {
public:
    // Each returns false with ErrorString() set; the part read stays empty.
    bool LoadResources(const QString& path);
    bool LoadReference(const QString& path);
    bool LoadStartMenu(const QString& path);
    // The same from file content; folder resolves relative module paths.
    bool ParseResources(const QByteArray& xml, const QString& folder);
    bool ParseReference(const QByteArray& xml);
    bool ParseStartMenu(const QByteArray& xml);

    const std::vector<CatalogLanguage>& Languages() const { return m_languages; }
    const CatalogLanguage* Find(const QString& code) const;
    const CatalogLanguage* DefaultLanguage() const { return Find(m_defaultCode); }
    // The installed language for a locale name such as "de_DE.UTF-8@euro";
    // the default language when the locale names none.
    const CatalogLanguage* ForLocale(const QString& locale) const;
    // Start menu text of an entry in a language; empty when not given.
    QString StartMenuText(const QString& code, const QString& entry) const;

    QString ErrorString() const { return m_error; }

private:
    bool Fail(const QString& what);

    std::vector<CatalogLanguage> m_languages;
    QString m_defaultCode;
    QHash<QString, QString> m_localeToCode; // lower-case locale -> code
    QHash<QString, QString> m_startMenu; // "code\nentry" in lower case -> text
    QString m_error;
};
