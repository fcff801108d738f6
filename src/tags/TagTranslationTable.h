// The names of the built-in category tags in every language, read from
// "Language\DefaultTagTranslation.xml" in the program folder (the machine
// value "InstallPath", else the folder of the running program). The add-tag
// dialog builds one to refuse a new tag that bears a built-in tag's name in
// any language.
//
// A missing or unreadable file gives an empty table: nothing is a built-in
// name then, and tags are added without that check. All look-ups ignore case.
#pragma once
#include "TagTranslationFile.h"

class TagTranslationTable {
public:
    static constexpr const char* kDefaultFile = "Language\\DefaultTagTranslation.xml";

    TagTranslationTable();
    // A backslash path relative to the program folder, or an absolute path.
    explicit TagTranslationTable(const QString& path);

    // True when any cell equals the name.
    bool isBuiltInName(const QString& name) const;
    // The name of the tag in the language; empty when either is unknown.
    QString lookup(const QString& tagKey, const QString& language) const;
    bool contains(const QString& tagKey, const QString& language) const;
    // The language of the first cell (row by row) that equals the name.
    bool languageOf(const QString& name, QString* language) const;

    bool isEmpty() const { return m_file.Cells().isEmpty(); }
    const TagTranslationFile& file() const { return m_file; }
    // The folder the default file is looked for in.
    static QString InstallFolder();

private:
    qsizetype CellOf(const QString& name) const;

    TagTranslationFile m_file;
};
