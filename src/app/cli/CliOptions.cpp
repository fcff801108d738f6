#include "CliOptions.h"

CliOptions::CliOptions(const QStringList& arguments, const QStringList& flags, const QStringList& valued)
{
    bool onlyPositional = false;
    for (int i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (onlyPositional || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            m_positional << argument;
        } else if (argument == QLatin1String("--")) {
            onlyPositional = true; // what follows may start with '-'
        } else if (flags.contains(argument)) {
            m_given.insert(argument, QString());
        } else {
            QString value;
            const qsizetype equals = argument.indexOf(QLatin1Char('='));
            const bool valueInline = equals > 0;
            if (valueInline) {
                value = argument.mid(equals + 1);
                argument.truncate(equals);
            }
            if (!valued.contains(argument)) {
                SetError(QStringLiteral("unknown option ") + argument);
            } else if (!valueInline && i + 1 >= arguments.size()) {
                SetError(argument + QStringLiteral(" needs a value"));
            } else if (m_given.contains(argument)) {
                // Keeping one of the values would drop the other unseen.
                SetError(argument + QStringLiteral(" is given more than once (a list is one value: T1,T2)"));
            } else {
                m_given.insert(argument, valueInline ? value : arguments[++i]);
            }
        }
    }
}

bool CliOptions::Number(const QString& option, qint64 least, qint64* value)
{
    bool ok = false;
    *value = Value(option).toLongLong(&ok);
    if (ok && *value >= least) return true;
    SetError(option + QStringLiteral(" needs a number of at least %1").arg(least));
    return false;
}
