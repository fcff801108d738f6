#include "CatalogueExport.h"

namespace {

const char kHtmlHead[] = R"html(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Albireo catalogue</title>
<style>
body { font: 14px/1.4 sans-serif; margin: 1.5em; color: #111; }
h2 { margin: 1.5em 0 0.2em; font-size: 1.2em; }
p.about { margin: 0 0 0.5em; color: #444; }
table { border-collapse: collapse; width: 100%; }
th, td { padding: 2px 8px; text-align: left; border-bottom: 1px solid #ddd; vertical-align: top; }
td.path { word-break: break-all; white-space: pre-wrap; }
td.size, th.size { text-align: right; font-variant-numeric: tabular-nums; }
th { cursor: pointer; background: #eee; user-select: none; }
th[aria-sort="ascending"]::after { content: " \25B2"; }
th[aria-sort="descending"]::after { content: " \25BC"; }
@media print {
  body { margin: 0; font-size: 10pt; }
  th { background: none; cursor: auto; }
  th::after { content: "" !important; }
  thead { display: table-header-group; }
  tr { break-inside: avoid; }
  section { break-before: page; }
  section:first-of-type { break-before: auto; }
}
</style>
</head>
<body>
<h1>Albireo catalogue</h1>
)html";

// Sorts a table by the clicked column (numbers by their data-sort value);
// a second click reverses. Part of the page: nothing is loaded from elsewhere.
const char kHtmlTail[] = R"html(<script>
document.querySelectorAll("table.listing th").forEach(function (header, column) {
  header.addEventListener("click", function () {
    var table = header.closest("table"), body = table.tBodies[0];
    var ascending = header.getAttribute("aria-sort") !== "ascending";
    table.querySelectorAll("th").forEach(function (h) { h.removeAttribute("aria-sort"); });
    header.setAttribute("aria-sort", ascending ? "ascending" : "descending");
    var numeric = header.classList.contains("size");
    var key = function (row) {
      var cell = row.cells[column];
      return numeric ? Number(cell.getAttribute("data-sort")) : cell.textContent;
    };
    var rows = Array.prototype.slice.call(body.rows);
    rows.sort(function (a, b) {
      var x = key(a), y = key(b);
      var order = numeric ? x - y : x.localeCompare(y);
      return ascending ? order : -order;
    });
    rows.forEach(function (row) { body.appendChild(row); });
  });
});
</script>
</body>
</html>
)html";

QString KindOf(const LibraryReader::Entry& entry)
{
    return entry.folder ? QStringLiteral("folder") : QStringLiteral("file");
}

} // namespace

bool CatalogueExport::FormatOf(const QString& name, Format* format)
{
    if (name == QLatin1String("csv")) *format = Format::Csv;
    else if (name == QLatin1String("json")) *format = Format::Json;
    else if (name == QLatin1String("html")) *format = Format::Html;
    else return false;
    return true;
}

QByteArray CatalogueExport::CsvField(const QString& text)
{
    QByteArray field = text.toUtf8();
    if (!field.contains(',') && !field.contains('"') && !field.contains('\n') && !field.contains('\r')) return field;
    field.replace("\"", "\"\"");
    return '"' + field + '"';
}

// Markup characters and a carriage return (which a browser would read as a
// line break) as character references.
QString CatalogueExport::Html(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&#39;")).replace(QLatin1Char('\r'), QLatin1String("&#13;"));
}

bool CatalogueExport::Begin()
{
    switch (m_format) {
    case Format::Csv: return m_output.WriteBytes("disc,path,kind,size,time\r\n");
    case Format::Json: return m_output.WriteBytes("[\n");
    case Format::Html: return m_output.WriteBytes(kHtmlHead);
    }
    return false;
}

bool CatalogueExport::BeginDisc(const DiscRecord& disc, const QString& tagNames)
{
    if (m_format != Format::Html) return true;
    const QString about = QStringLiteral("%1 folders, %2 files%3")
                              .arg(QString::number(disc.folderCount), QString::number(disc.fileCount),
                                   tagNames.isEmpty() ? QString() : QStringLiteral("; tags: ") + tagNames);
    const QString html = QStringLiteral("<section>\n<h2>%1</h2>\n<p class=\"about\">%2</p>\n"
                                        "<table class=\"listing\">\n<thead><tr><th>Path</th><th>Kind</th>"
                                        "<th class=\"size\">Size</th><th>Time (UTC)</th></tr></thead>\n<tbody>\n")
                             .arg(Html(LibraryReader::Text(disc.name)), Html(about));
    return m_output.WriteBytes(html.toUtf8());
}

bool CatalogueExport::Entry(const QString& discName, const LibraryReader::Entry& entry)
{
    const QString time = LibraryReader::IsoTime(entry.time);
    switch (m_format) {
    case Format::Csv:
        return m_output.WriteBytes(CsvField(discName) + ',' + CsvField(entry.path) + ',' + KindOf(entry).toLatin1() + ',' +
                                   QByteArray::number(entry.size) + ',' + time.toLatin1() + "\r\n");
    case Format::Json: {
        QByteArray line = m_bFirstRow ? QByteArray() : QByteArray(",\n");
        m_bFirstRow = false;
        line += CliOutput::JsonObject(CliRecord()
                                          .Text("disc", discName)
                                          .Text("path", entry.path)
                                          .Text("kind", KindOf(entry))
                                          .Number("size", entry.size)
                                          .Text("time", time));
        return m_output.WriteBytes(line);
    }
    case Format::Html:
        return m_output.WriteBytes(QStringLiteral("<tr><td class=\"path\">%1</td><td>%2</td>"
                                                  "<td class=\"size\" data-sort=\"%3\">%3</td><td>%4</td></tr>\n")
                                       .arg(Html(entry.path), KindOf(entry), QString::number(entry.size), time)
                                       .toUtf8());
    }
    return false;
}

bool CatalogueExport::EndDisc()
{
    return m_format != Format::Html || m_output.WriteBytes("</tbody>\n</table>\n</section>\n");
}

bool CatalogueExport::End()
{
    switch (m_format) {
    case Format::Csv: return true;
    case Format::Json: return m_output.WriteBytes(m_bFirstRow ? "]\n" : "\n]\n");
    case Format::Html: return m_output.WriteBytes(kHtmlTail);
    }
    return false;
}
