#include "TagTranslationTable.h"

#include "Diagnostics.h"
#include "ProgramPaths.h"
#include "StringReg.h"

#include <QDir>

namespace {

qsizetype IndexIgnoringCase(const QStringList& list, const QString& value)
{
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list[i].compare(value, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

} // namespace

TagTranslationTable::TagTranslationTable() : TagTranslationTable(QString::fromLatin1(kDefaultFile)) {}

TagTranslationTable::TagTranslationTable(const QString& path)
{
    const QString file = QDir::isAbsolutePath(path)
                             ? path
                             : InstallFolder() + QLatin1Char('/') + ProgramPaths::ToNativeSeparators(path);
    if (!m_file.Load(file)) DumpMsg("TagTranslation", "%s", qUtf8Printable(m_file.ErrorString()));
}

QString TagTranslationTable::InstallFolder()
{
    StringReg installPath(HKEY_LOCAL_MACHINE, u"Software\\Quorvel\\Flintwell13", u"InstallPath");
    if (installPath.Read() && !installPath.IsEmpty() && installPath.GetLength() < MAX_PATH)
        return ProgramPaths::ToNativeSeparators(installPath.ToString());
    return ProgramPaths::ProgramFolder();
}

qsizetype TagTranslationTable::CellOf(const QString& name) const
{
    return IndexIgnoringCase(m_file.Cells(), name);
}

bool TagTranslationTable::isBuiltInName(const QString& name) const { return !name.isEmpty() && CellOf(name) >= 0; }

QString TagTranslationTable::lookup(const QString& tagKey, const QString& language) const
{
    return m_file.Cell(IndexIgnoringCase(m_file.TagKeys(), tagKey), IndexIgnoringCase(m_file.Languages(), language));
}

bool TagTranslationTable::contains(const QString& tagKey, const QString& language) const
{
    return IndexIgnoringCase(m_file.TagKeys(), tagKey) >= 0 && IndexIgnoringCase(m_file.Languages(), language) >= 0;
}

bool TagTranslationTable::languageOf(const QString& name, QString* language) const
{
    const qsizetype cell = name.isEmpty() ? -1 : CellOf(name);
    if (cell < 0) return false;
    *language = m_file.Languages()[cell % m_file.Languages().size()];
    return true;
}
