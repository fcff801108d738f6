#include "ResourceModule.h"

#include "Diagnostics.h"
#include "ProgramPaths.h"
#include "ResourceFileParser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

// "FlwRC.dll" -> "FlwRC.res"; other names are kept.
QString DataFileName(const QString& moduleName)
{
    QString name = ProgramPaths::ToNativeSeparators(moduleName);
    if (name.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive)) name = name.chopped(4) + QLatin1String(".res");
    return name;
}

std::shared_ptr<ResourceModule> ParseModule(const QByteArray& content, const QString& sourceName, QString* error)
{
    auto module = std::make_shared<ResourceModule>();
    ResourceFileParser parser(sourceName, *module);
    if (parser.Parse(content)) return module;
    if (error) *error = parser.ErrorString();
    return nullptr;
}

} // namespace

QString ResourceModule::DataFilePath(const QString& moduleName)
{
    const QString name = DataFileName(moduleName);
    if (QDir::isAbsolutePath(name)) return name;
    if (name.contains(QLatin1Char('/'))) return ProgramPaths::UnderProgramFolder(name);
    const QString beside = ProgramPaths::ProgramFolder() + QLatin1Char('/') + name;
    if (QFileInfo::exists(beside)) return beside;
    const QString current = QDir::current().filePath(name);
    return QFileInfo::exists(current) ? current : beside;
}

std::shared_ptr<const ResourceModule> ResourceModule::Load(const QString& moduleName, QString* error)
{
    const QString path = DataFilePath(moduleName);
    QString reason;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("%1: %2").arg(path, file.errorString());
        DumpMsg("FlwRC", "%s", qUtf8Printable(reason));
    } else if (file.size() > kMaxFileSize) {
        reason = QStringLiteral("%1: the file is larger than %2 bytes").arg(path).arg(kMaxFileSize);
        DiagWriteAlways("FlwRC", "%s", qUtf8Printable(reason));
    } else if (auto module = ParseModule(file.readAll(), path, &reason)) {
        module->m_filePath = path;
        return module;
    } else {
        DiagWriteAlways("FlwRC", "%s", qUtf8Printable(reason));
    }
    if (error) *error = reason;
    return nullptr;
}

std::shared_ptr<const ResourceModule> ResourceModule::Parse(const QByteArray& content, const QString& sourceName,
                                                            QString* error)
{
    return ParseModule(content, sourceName, error);
}

std::vector<UINT> ResourceModule::StringIds() const
{
    std::vector<UINT> ids(m_strings.keyBegin(), m_strings.keyEnd());
    std::sort(ids.begin(), ids.end());
    return ids;
}

const ResourceMenu* ResourceModule::Menu(UINT id) const
{
    const auto found = m_menus.find(id);
    return found == m_menus.end() ? nullptr : &found->second;
}

std::vector<UINT> ResourceModule::MenuIds() const
{
    std::vector<UINT> ids;
    for (const auto& entry : m_menus) ids.push_back(entry.first);
    return ids;
}
