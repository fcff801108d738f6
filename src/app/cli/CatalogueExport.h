// Writes catalogued discs with every folder and file (disc, path, kind,
// size, time) as one document, a row at a time, so that memory stays the
// same however large the catalogue:
// - csv: RFC 4180 (a header row, CRLF line ends, fields with a comma,
//   quote or line break quoted, quotes doubled), UTF-8;
// - json: one array of objects, one object a line;
// - html: one self-contained page (no script, style or picture from
//   elsewhere) with a table per disc whose columns sort with a click and
//   which prints cleanly.
#pragma once
#include "CliOutput.h"
#include "LibraryReader.h"

class CatalogueExport {
public:
    enum class Format { Csv, Json, Html };
    // The format of a --format value; false when there is none of that name.
    static bool FormatOf(const QString& name, Format* format);

    CatalogueExport(CliOutput& output, Format format) : m_output(output), m_format(format) {}

    // Each returns false once the output cannot be written.
    bool Begin();
    bool BeginDisc(const DiscRecord& disc, const QString& tagNames);
    bool Entry(const QString& discName, const LibraryReader::Entry& entry);
    bool EndDisc();
    bool End();

private:
    static QByteArray CsvField(const QString& text);
    static QString Html(const QString& text);

    CliOutput& m_output;
    Format m_format;
    bool m_bFirstRow = true;
};
