#include "LanguageCatalog.h"

#include "ProgramPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <algorithm>
#include <optional>

namespace {

constexpr qint64 kMaxFileSize = 1024 * 1024;
constexpr int kMaxDepth = 3;

// A small element tree: these files are shallow and read whole.
struct XmlNode {
    QString name;
    QXmlStreamAttributes attributes;
    std::vector<XmlNode> children;

    QString Attribute(const char* attribute) const { return attributes.value(QLatin1String(attribute)).toString(); }
};

std::optional<XmlNode> ReadTree(const QByteArray& xml, QString& error)
{
    QXmlStreamReader reader(xml);
    XmlNode document;
    std::vector<XmlNode*> open{&document};
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (open.size() > kMaxDepth) {
                error = QStringLiteral("elements nested too deeply at line %1").arg(reader.lineNumber());
                return std::nullopt;
            }
            open.back()->children.push_back({reader.qualifiedName().toString(), reader.attributes(), {}});
            open.push_back(&open.back()->children.back());
            break;
        case QXmlStreamReader::EndElement:
            open.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (!reader.isWhitespace()) {
                error = QStringLiteral("unexpected text at line %1").arg(reader.lineNumber());
                return std::nullopt;
            }
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
        return std::nullopt;
    }
    if (document.children.empty()) {
        error = QStringLiteral("no root element");
        return std::nullopt;
    }
    return std::move(document.children.front());
}

// The root element, checked for its name and version.
std::optional<XmlNode> ReadRoot(const QByteArray& xml, const char* rootName, QString& error)
{
    std::optional<XmlNode> root = ReadTree(xml, error);
    if (!root) return std::nullopt;
    if (root->name != QLatin1String(rootName) || root->Attribute("Version") != QLatin1String("1")) {
        error = QStringLiteral("expected a root element <%1 Version=\"1\">").arg(QLatin1String(rootName));
        return std::nullopt;
    }
    return root;
}

bool IsLanguageCode(const QString& code)
{
    if (code.size() != 3) return false;
    for (QChar c : code)
        if (c.unicode() > 127 || !c.isLetter()) return false;
    return true;
}

// "de_DE.UTF-8@euro" -> "de_de"; empty for the C locale.
QString CleanLocale(QString locale)
{
    locale = locale.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0).toLower();
    locale.replace(QLatin1Char('-'), QLatin1Char('_'));
    if (locale == QLatin1String("c") || locale == QLatin1String("posix")) return QString();
    return locale;
}

bool ReadFile(const QString& path, QByteArray& content, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        error = QStringLiteral("%1: the file is too large").arg(path);
        return false;
    }
    content = file.readAll();
    return true;
}

} // namespace

bool LanguageCatalog::Fail(const QString& what)
{
    m_error = what;
    return false;
}

bool LanguageCatalog::LoadResources(const QString& path)
{
    QByteArray content;
    if (!ReadFile(path, content, m_error)) return false;
    if (ParseResources(content, QFileInfo(path).absolutePath())) return true;
    return Fail(path + QStringLiteral(": ") + m_error);
}

bool LanguageCatalog::LoadReference(const QString& path)
{
    QByteArray content;
    if (!ReadFile(path, content, m_error)) return false;
    if (ParseReference(content)) return true;
    return Fail(path + QStringLiteral(": ") + m_error);
}

bool LanguageCatalog::LoadStartMenu(const QString& path)
{
    QByteArray content;
    if (!ReadFile(path, content, m_error)) return false;
    if (ParseStartMenu(content)) return true;
    return Fail(path + QStringLiteral(": ") + m_error);
}

bool LanguageCatalog::ParseResources(const QByteArray& xml, const QString& folder)
{
    m_languages.clear();
    m_defaultCode.clear();
    QString error;
    const std::optional<XmlNode> root = ReadRoot(xml, "MUIResource", error);
    if (!root) return Fail(error);
    std::vector<CatalogLanguage> languages;
    for (const XmlNode& node : root->children) {
        CatalogLanguage language{node.Attribute("Code"), node.Attribute("Name"), node.Attribute("Module")};
        if (node.name != QLatin1String("Language") || !node.children.empty())
            return Fail(QStringLiteral("unexpected element <%1>").arg(node.name));
        if (!IsLanguageCode(language.code) || language.modulePath.isEmpty())
            return Fail(QStringLiteral("a Language needs a three-letter Code and a Module"));
        if (std::any_of(languages.begin(), languages.end(), [&](const CatalogLanguage& known) {
                return known.code.compare(language.code, Qt::CaseInsensitive) == 0;
            }))
            return Fail(QStringLiteral("language %1 is listed twice").arg(language.code));
        const QString module = ProgramPaths::ToNativeSeparators(language.modulePath);
        language.modulePath = QDir::cleanPath(QDir::isAbsolutePath(module) ? module : folder + QLatin1Char('/') + module);
        languages.push_back(language);
    }
    m_languages = std::move(languages);
    m_defaultCode = root->Attribute("Default");
    if (!DefaultLanguage()) {
        m_languages.clear();
        return Fail(QStringLiteral("the Default language is not listed"));
    }
    return true;
}

bool LanguageCatalog::ParseReference(const QByteArray& xml)
{
    m_localeToCode.clear();
    QString error;
    const std::optional<XmlNode> root = ReadRoot(xml, "MUIReference", error);
    if (!root) return Fail(error);
    QHash<QString, QString> map;
    for (const XmlNode& node : root->children) {
        const QString locale = CleanLocale(node.Attribute("Name"));
        const QString code = node.Attribute("Language");
        if (node.name != QLatin1String("Locale") || !node.children.empty())
            return Fail(QStringLiteral("unexpected element <%1>").arg(node.name));
        if (locale.isEmpty() || !IsLanguageCode(code))
            return Fail(QStringLiteral("a Locale needs a Name and a three-letter Language"));
        map.insert(locale, code);
    }
    m_localeToCode = std::move(map);
    return true;
}

bool LanguageCatalog::ParseStartMenu(const QByteArray& xml)
{
    m_startMenu.clear();
    QString error;
    const std::optional<XmlNode> root = ReadRoot(xml, "MUIStartMenu", error);
    if (!root) return Fail(error);
    QHash<QString, QString> texts;
    for (const XmlNode& language : root->children) {
        const QString code = language.Attribute("Code");
        if (language.name != QLatin1String("Language") || !IsLanguageCode(code))
            return Fail(QStringLiteral("expected <Language Code=\"...\"> instead of <%1>").arg(language.name));
        for (const XmlNode& entry : language.children) {
            const QString id = entry.Attribute("Id");
            if (entry.name != QLatin1String("Entry") || id.isEmpty() || !entry.attributes.hasAttribute(QLatin1String("Text")))
                return Fail(QStringLiteral("expected <Entry Id=\"...\" Text=\"...\"/> instead of <%1>").arg(entry.name));
            texts.insert(code.toLower() + QLatin1Char('\n') + id.toLower(), entry.Attribute("Text"));
        }
    }
    m_startMenu = std::move(texts);
    return true;
}

const CatalogLanguage* LanguageCatalog::Find(const QString& code) const
{
    for (const CatalogLanguage& language : m_languages)
        if (language.code.compare(code, Qt::CaseInsensitive) == 0) return &language;
    return nullptr;
}

const CatalogLanguage* LanguageCatalog::ForLocale(const QString& locale) const
{
    const QString clean = CleanLocale(locale);
    QString code = m_localeToCode.value(clean);
    if (code.isEmpty()) code = m_localeToCode.value(clean.section(QLatin1Char('_'), 0, 0));
    const CatalogLanguage* language = code.isEmpty() ? nullptr : Find(code);
    return language ? language : DefaultLanguage();
}

QString LanguageCatalog::StartMenuText(const QString& code, const QString& entry) const
{
    return m_startMenu.value(code.toLower() + QLatin1Char('\n') + entry.toLower());
}
