// A resource module: the numbered strings, menus and icon pictures of one
// user-interface language. Where Windows has the resource DLL "FlwRC.dll",
// we have a UTF-8 text file beside it: the module name "X.dll" stands for the
// data file "X.res" in the same folder ("Language\Enu\FlwRC.dll" is read from
// "Language/Enu/FlwRC.res").
//
// Which file a module name means:
//  - an absolute path is used as it is;
//  - a path with a folder ("Language\Enu\FlwRC.dll") is relative to the
//    program folder;
//  - a plain name ("FlwRC.dll") is looked for in the program folder, then in
//    the current directory.
//
// File format. One statement per line; leading and trailing blanks are
// ignored, and so are empty lines and lines starting with "//".
//
//   FLWRC 1                            first statement: format name, version 1
//   STRINGTABLE                        a block of numbered strings
//   BEGIN
//   100 "Albireo"                      string id and its text
//   3273 "Importing \"%s\"..."
//   END
//   ICON 3215 "Image\\MainFrame\\x.png" an icon resource: a picture path
//   MENU 128                           a menu resource
//   BEGIN
//     POPUP "&File"                    a submenu, its items in BEGIN ... END
//     BEGIN
//       MENUITEM "&Import Disc...", 3101
//       MENUITEM SEPARATOR
//       MENUITEM "E&xit", 0xE141
//     END
//   END
//
// Ids are decimal or 0x-hexadecimal numbers from 0 to 65535. Texts stand in
// double quotes; inside them \" \\ \r \n \t are the only escapes, and raw
// control characters are not allowed. A string, menu or icon id may appear
// only once. Several STRINGTABLE blocks may follow one another. Anything
// else (a misspelt keyword, a missing END, text after a statement, bytes that
// are not UTF-8) makes the whole file fail with a message naming the line.
#pragma once
#include "ResourceMenu.h"
#include "wintypes.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <map>
#include <memory>
#include <vector>

class ResourceModule {
public:
    // The data file a module name stands for, resolved as described above.
    // For a plain name that exists nowhere this is the path in the program
    // folder, so that a message can name the file that was looked for.
    static QString DataFilePath(const QString& moduleName);

    // Loads the module; null when the file is missing or malformed, with the
    // reason in *error ("path:line: what is wrong"). A malformed file is also
    // reported on standard error, a missing one through DumpMsg.
    static std::shared_ptr<const ResourceModule> Load(const QString& moduleName, QString* error = nullptr);

    // Parses file content; sourceName prefixes error messages.
    static std::shared_ptr<const ResourceModule> Parse(const QByteArray& content, const QString& sourceName,
                                                       QString* error = nullptr);

    // The data file the module was read from (empty when parsed from memory).
    QString FilePath() const { return m_filePath; }

    bool HasString(UINT id) const { return m_strings.contains(id); }
    // The string's text; empty when there is no such string.
    QString String(UINT id) const { return m_strings.value(id); }
    // Every string id, ascending.
    std::vector<UINT> StringIds() const;

    // The menu; null when there is no such menu.
    const ResourceMenu* Menu(UINT id) const;
    std::vector<UINT> MenuIds() const;

    // The picture path of an icon resource ("Image\..."); empty when missing.
    QString IconPath(UINT id) const { return m_icons.value(id); }

private:
    friend class ResourceFileParser;

    QString m_filePath;
    QHash<UINT, QString> m_strings;
    QHash<UINT, QString> m_icons;
    std::map<UINT, ResourceMenu> m_menus;
};
