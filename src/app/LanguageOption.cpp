#include "LanguageOption.h"

#include "BoolReg.h"
#include "ProgramPaths.h"
#include "StringReg.h"

#include <QDir>
#include <QFileInfo>

namespace LanguageOption {

namespace {

const QString kOption = QStringLiteral("--language");
constexpr const WCHAR* kKey = u"Software\\Quorvel\\Flintwell13";

// Removes the option and its value; the value, or a null string when the
// option is there without one.
QString TakeValue(QStringList* arguments, bool* present)
{
    for (qsizetype i = 1; i < arguments->size(); ++i) {
        const QString argument = arguments->at(i);
        if (argument.startsWith(kOption + QLatin1Char('='))) {
            arguments->removeAt(i);
            *present = true;
            return argument.mid(kOption.size() + 1);
        }
        if (argument != kOption) continue;
        *present = true;
        const QString value = i + 1 < arguments->size() ? arguments->at(i + 1) : QString();
        arguments->remove(i, value.isNull() ? 1 : 2);
        return value;
    }
    *present = false;
    return QString();
}

bool Store(const QString& code)
{
    StringReg current(HKEY_CURRENT_USER, kKey, u"CurrentLang");
    current = code;
    BoolReg systemDefault(HKEY_CURRENT_USER, kKey, u"IsSystemDefault");
    systemDefault = 0;
    return current.Write() && systemDefault.Write();
}

} // namespace

QStringList InstalledLanguages()
{
    QStringList codes;
    const QDir folder(ProgramPaths::UnderProgramFolder(QStringLiteral("Language")));
    for (const QString& code : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (QFileInfo::exists(folder.filePath(code + QStringLiteral("/FlwRC.res")))) codes << code;
    return codes;
}

Result Apply(QStringList* arguments, QString* error)
{
    bool present = false;
    const QString wanted = TakeValue(arguments, &present);
    if (!present) return Result::Absent;
    const QStringList installed = InstalledLanguages();
    const QString available = installed.join(QStringLiteral(", "));
    if (wanted.isEmpty()) {
        *error = QStringLiteral("--language needs a language code (installed: %1)").arg(available);
        return Result::Refused;
    }
    for (const QString& code : installed) {
        if (code.compare(wanted, Qt::CaseInsensitive) != 0) continue;
        if (Store(code)) return Result::Stored;
        *error = QStringLiteral("the language choice could not be saved in the settings");
        return Result::Refused;
    }
    *error = QStringLiteral("no language \"%1\" is installed (installed: %2)").arg(wanted, available);
    return Result::Refused;
}

} // namespace LanguageOption
