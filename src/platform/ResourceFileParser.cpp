#include "ResourceFileParser.h"

#include <QStringDecoder>

namespace {

constexpr UINT kMaxId = 0xFFFF;
constexpr int kMaxMenuDepth = 8;

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

} // namespace

// One statement line and a read position in it.
struct ResourceFileParser::Statement {
    QString text;
    qsizetype pos = 0;

    void SkipBlanks()
    {
        while (pos < text.size() && (text[pos] == QLatin1Char(' ') || text[pos] == QLatin1Char('\t'))) ++pos;
    }
    bool AtEnd()
    {
        SkipBlanks();
        return pos >= text.size();
    }
    bool Peek(QChar c)
    {
        SkipBlanks();
        return pos < text.size() && text[pos] == c;
    }
    QString Word()
    {
        SkipBlanks();
        const qsizetype start = pos;
        while (pos < text.size() && IsWordChar(text[pos])) ++pos;
        return text.mid(start, pos - start);
    }
    // True when the whole statement is exactly this keyword.
    bool Is(const char* keyword)
    {
        const qsizetype saved = pos;
        if (Word() == QLatin1String(keyword) && AtEnd()) return true;
        pos = saved;
        return false;
    }
    bool Comma()
    {
        if (!Peek(QLatin1Char(','))) return false;
        ++pos;
        return true;
    }
    // A decimal or 0x-hexadecimal id from 0 to 65535.
    bool Number(UINT& value)
    {
        const QString word = Word();
        const bool hex = word.startsWith(QLatin1String("0x")) || word.startsWith(QLatin1String("0X"));
        const QString digits = hex ? word.mid(2) : word;
        const QLatin1String allowed = hex ? QLatin1String("0123456789abcdefABCDEF") : QLatin1String("0123456789");
        if (digits.isEmpty() || digits.size() > 8) return false;
        for (QChar c : digits)
            if (!allowed.contains(c)) return false;
        value = digits.toUInt(nullptr, hex ? 16 : 10);
        return value <= kMaxId;
    }
    // A double-quoted text with the escapes \" \\ \r \n \t; null error on success.
    bool Quoted(QString& value, QString& error)
    {
        if (!Peek(QLatin1Char('"'))) {
            error = QStringLiteral("expected a text in double quotes");
            return false;
        }
        ++pos;
        value.clear();
        while (pos < text.size()) {
            const QChar c = text[pos++];
            if (c == QLatin1Char('"')) return true;
            if (c != QLatin1Char('\\')) {
                value += c;
                continue;
            }
            if (pos >= text.size()) break;
            switch (text[pos++].unicode()) {
            case '"': value += QLatin1Char('"'); break;
            case '\\': value += QLatin1Char('\\'); break;
            case 'r': value += QLatin1Char('\r'); break;
            case 'n': value += QLatin1Char('\n'); break;
            case 't': value += QLatin1Char('\t'); break;
            default: error = QStringLiteral("unknown escape \\%1 in a text").arg(text[pos - 1]); return false;
            }
        }
        error = QStringLiteral("text without closing quote");
        return false;
    }
};

ResourceFileParser::ResourceFileParser(const QString& sourceName, ResourceModule& target)
    : m_sourceName(sourceName), m_target(target)
{
}

bool ResourceFileParser::Fail(const QString& what)
{
    const int line = qBound(1, m_lineIndex + 1, qMax(1, static_cast<int>(m_lines.size())));
    m_error = QStringLiteral("%1:%2: %3").arg(m_sourceName).arg(line).arg(what);
    return false;
}

bool ResourceFileParser::Parse(const QByteArray& content)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(content);
    if (decoder.hasError()) return Fail(QStringLiteral("the file is not UTF-8 text"));
    m_lines = text.split(QLatin1Char('\n'));
    if (m_lines.size() > 1 && m_lines.back().isEmpty()) m_lines.removeLast(); // the final line end
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].endsWith(QLatin1Char('\r'))) m_lines[i].chop(1);
        for (QChar c : m_lines[i])
            if (c.unicode() < 0x20 && c != QLatin1Char('\t')) {
                m_lineIndex = static_cast<int>(i);
                return Fail(QStringLiteral("control character U+%1 in the line").arg(c.unicode(), 4, 16, QLatin1Char('0')));
            }
    }
    if (!ParseHeader()) return false;
    Statement statement;
    while (NextStatement(statement)) {
        const QString keyword = statement.Word();
        bool ok = false;
        if (keyword == QLatin1String("STRINGTABLE"))
            ok = statement.AtEnd() ? ParseStringTable() : Fail(QStringLiteral("unexpected text after STRINGTABLE"));
        else if (keyword == QLatin1String("MENU"))
            ok = ParseMenu(statement);
        else if (keyword == QLatin1String("ICON"))
            ok = ParseIcon(statement);
        else
            ok = Fail(QStringLiteral("expected STRINGTABLE, MENU or ICON"));
        if (!ok) return false;
    }
    return true;
}

bool ResourceFileParser::NextStatement(Statement& statement)
{
    while (++m_lineIndex < m_lines.size()) {
        const QString line = m_lines[m_lineIndex].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("//"))) continue;
        statement = Statement{line, 0};
        return true;
    }
    m_lineIndex = static_cast<int>(m_lines.size()) - 1;
    return false;
}

bool ResourceFileParser::ParseHeader()
{
    Statement statement;
    UINT version = 0;
    if (!NextStatement(statement) || statement.Word() != QLatin1String("FLWRC"))
        return Fail(QStringLiteral("not a resource file: the first statement must be \"FLWRC 1\""));
    if (!statement.Number(version) || !statement.AtEnd() || version != 1)
        return Fail(QStringLiteral("unsupported resource file version (expected \"FLWRC 1\")"));
    return true;
}

bool ResourceFileParser::ExpectBegin()
{
    Statement statement;
    if (!NextStatement(statement) || !statement.Is("BEGIN")) return Fail(QStringLiteral("expected BEGIN"));
    return true;
}

bool ResourceFileParser::ParseStringTable()
{
    if (!ExpectBegin()) return false;
    Statement statement;
    while (NextStatement(statement)) {
        if (statement.Is("END")) return true;
        UINT id = 0;
        QString text, error;
        if (!statement.Number(id)) return Fail(QStringLiteral("expected a string id from 0 to 65535 or END"));
        if (!statement.Quoted(text, error)) return Fail(error);
        if (!statement.AtEnd()) return Fail(QStringLiteral("unexpected text after the string"));
        if (m_target.m_strings.contains(id)) return Fail(QStringLiteral("string %1 is defined twice").arg(id));
        m_target.m_strings.insert(id, text);
    }
    return Fail(QStringLiteral("STRINGTABLE without END"));
}

bool ResourceFileParser::ParseIcon(Statement& statement)
{
    UINT id = 0;
    QString path, error;
    if (!statement.Number(id)) return Fail(QStringLiteral("expected an icon id from 0 to 65535"));
    if (!statement.Quoted(path, error)) return Fail(error);
    if (!statement.AtEnd()) return Fail(QStringLiteral("unexpected text after the icon path"));
    if (m_target.m_icons.contains(id)) return Fail(QStringLiteral("icon %1 is defined twice").arg(id));
    m_target.m_icons.insert(id, path);
    return true;
}

bool ResourceFileParser::ParseMenu(Statement& statement)
{
    UINT id = 0;
    if (!statement.Number(id) || !statement.AtEnd()) return Fail(QStringLiteral("expected a menu id from 0 to 65535"));
    if (m_target.m_menus.count(id)) return Fail(QStringLiteral("menu %1 is defined twice").arg(id));
    ResourceMenu menu;
    menu.id = id;
    if (!ExpectBegin() || !ParseMenuItems(menu.items, 0)) return false;
    m_target.m_menus.emplace(id, std::move(menu));
    return true;
}

bool ResourceFileParser::ParseMenuItems(std::vector<ResourceMenuItem>& items, int depth)
{
    Statement statement;
    while (NextStatement(statement)) {
        if (statement.Is("END")) return true;
        const QString keyword = statement.Word();
        ResourceMenuItem item;
        QString error;
        if (keyword == QLatin1String("MENUITEM")) {
            if (statement.Is("SEPARATOR")) {
                item.kind = ResourceMenuItem::Kind::Separator;
            } else {
                if (!statement.Quoted(item.text, error)) return Fail(error);
                if (!statement.Comma() || !statement.Number(item.id))
                    return Fail(QStringLiteral("expected a comma and a command id after the item text"));
                if (!statement.AtEnd()) return Fail(QStringLiteral("unexpected text after the command id"));
            }
            items.push_back(std::move(item));
        } else if (keyword == QLatin1String("POPUP")) {
            if (depth + 1 >= kMaxMenuDepth) return Fail(QStringLiteral("submenus nested too deeply"));
            item.kind = ResourceMenuItem::Kind::Popup;
            if (!statement.Quoted(item.text, error)) return Fail(error);
            if (!statement.AtEnd()) return Fail(QStringLiteral("unexpected text after the submenu text"));
            if (!ExpectBegin()) return false;
            items.push_back(std::move(item));
            if (!ParseMenuItems(items.back().children, depth + 1)) return false;
        } else {
            return Fail(QStringLiteral("expected MENUITEM, POPUP or END"));
        }
    }
    return Fail(QStringLiteral("MENU without END"));
}
