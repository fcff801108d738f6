// The command-line option "--language CODE" (or "--language=CODE"): the
// user's choice of the user-interface language, stored before start-up
// chooses the language. CODE names a language that has a string table in
// the installation ("Language/<code>/FlwRC.res"), matched ignoring case; the
// value "CurrentLang" of the current user gets the code as the
// installation spells it ("Deu"), and "IsSystemDefault" becomes 0 so that
// the choice wins over the desktop's locale.
#pragma once
#include <QString>
#include <QStringList>

namespace LanguageOption {

enum class Result { Absent, Stored, Refused };

// Looks for the option in the arguments (the program name first), stores
// the choice and removes the option from the arguments. Refused (with the
// reason in *error) when CODE is missing or has no string table, or the
// settings cannot be written.
Result Apply(QStringList* arguments, QString* error);
// The codes that have a string table, as their folders are spelled.
QStringList InstalledLanguages();

} // namespace LanguageOption
