// Reads the tag translation file ("Language\DefaultTagTranslation.xml"): the
// names of the built-in category tags in every language, as a matrix of tag
// keys by languages.
//
// The expected shape is a root element holding "Tag" elements, each with a
// "Name" attribute (the tag's stored English key) and "Language" children,
// each with a "Name" attribute (a language code) and the tag's name in that
// language as its text. Reading follows the document in order:
//  - every "Name" of a "Tag" element adds a tag key, every "Name" of a
//    "Language" element a language, unless an equal value (ignoring case) is
//    already there;
//  - a "Tag" element with a "Name" makes its key the current tag for itself
//    and everything inside it; the current tag is the first one outside any
//    "Tag" element;
//  - a "Language" element with a "Name" sets the cell of the current tag and
//    its language to its text (blanks at either end removed, at most 259
//    characters); a later element for the same cell overwrites an earlier one.
// Element and attribute names match exactly; other elements are skipped but
// their children are read. A file that is not well-formed XML is read as
// empty, like a missing file.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

class TagTranslationFile {
public:
    // Reads the file; false (and an empty matrix) when it is missing,
    // unreadable or not well-formed, with the reason in ErrorString().
    bool Load(const QString& path);
    bool Parse(const QByteArray& xml);

    const QStringList& TagKeys() const { return m_tagKeys; }
    const QStringList& Languages() const { return m_languages; }
    // TagKeys().size() x Languages().size() names, row by row: the name of tag
    // t in language l is Cells()[t * Languages().size() + l]; empty when the
    // file gives none.
    const QStringList& Cells() const { return m_cells; }
    QString Cell(qsizetype tag, qsizetype language) const;

    QString ErrorString() const { return m_error; }

    static constexpr qsizetype kMaxNameLength = 259;

private:
    void Clear();

    QStringList m_tagKeys;
    QStringList m_languages;
    QStringList m_cells;
    QString m_error;
};
