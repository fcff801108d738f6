#include "SystemLocale.h"

#include <QLocale>

namespace SystemLocale {

QString MessagesLocale()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty()) return value;
    }
    const QString name = QLocale::system().name();
    return name.isEmpty() ? QStringLiteral("C") : name;
}

} // namespace SystemLocale
