// Reads the text of a resource module file (format in ResourceModule.h) into
// a ResourceModule. Strict: the first fault ends the parse with a message
// "source:line: what is wrong" and nothing of the file is kept.
#pragma once
#include "ResourceModule.h"

#include <QStringList>

class ResourceFileParser {
public:
    ResourceFileParser(const QString& sourceName, ResourceModule& target);

    // False on the first fault; ErrorString() then tells which and where.
    bool Parse(const QByteArray& content);
    QString ErrorString() const { return m_error; }

private:
    struct Statement; // one line split into its parts

    bool Fail(const QString& what);
    bool NextStatement(Statement& statement);
    bool ParseHeader();
    bool ParseStringTable();
    bool ParseIcon(Statement& statement);
    bool ParseMenu(Statement& statement);
    bool ParseMenuItems(std::vector<ResourceMenuItem>& items, int depth);
    bool ExpectBegin();

    QString m_sourceName;
    ResourceModule& m_target;
    QStringList m_lines;
    int m_lineIndex = -1; // index of the line last read
    QString m_error;
};
