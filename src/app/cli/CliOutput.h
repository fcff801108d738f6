// Writes the tool's records to standard output (or a file) in one of two
// forms, so that scripts can read every name exactly:
// - tab-separated: one line per record; a tab, newline, carriage return or
//   backslash inside a field is written as \t, \n, \r, \\ (so `printf '%b'`
//   gives the field back);
// - JSON Lines (--json): one object per record, UTF-8, the same fields
//   under their names.
// A reader that closes the stream early (`| head -1`) is noticed at the
// next write or flush: Broken() turns true and the command stops.
#pragma once
#include "CliRecord.h"
#include "PendingBytes.h"

#include <QByteArray>
#include <QStringEncoder>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

class CliOutput {
public:
    explicit CliOutput(bool json, FILE* stream = stdout) : m_bJson(json), m_pStream(stream) {}
    CliOutput(CliOutput&&) = default;
    CliOutput& operator=(CliOutput&&) = default;
    ~CliOutput() { WritePending(); }

    bool IsJson() const { return m_bJson; }
    // Writes one record; false once the stream cannot be written.
    bool Write(const CliRecord& record);
    // A text field already in UTF-8 (no lone surrogates).
    struct Utf8Field {
        const char* name;
        std::string_view text;
    };
    // The start of a record of text fields whose last field goes on with a
    // tail that differs from record to record (a folder's path, then each
    // file's name): the fields escaped as Write escapes them, the last one
    // left open.
    std::string OpenRecord(std::initializer_list<Utf8Field> fields) const;
    // Writes a record begun by OpenRecord with `tail` (UTF-8) ending its
    // last field, as Write writes the same texts; false once the stream
    // cannot be written.
    bool WriteRecord(std::string_view opened, std::string_view tail);
    // WriteRecord for a tail of ASCII that this output writes as it is, with
    // no escape (most names), told as it is copied: NotPlain, with nothing
    // written, for any other tail.
    enum class PlainWrite { Written, NotPlain, Failed };
    PlainWrite WritePlainRecord(std::string_view opened, std::string_view tail);
    // Writes raw bytes (the export formats); false once the stream cannot be written.
    bool WriteBytes(const QByteArray& bytes);
    // Hands what is buffered to the reader; false once the stream cannot be written.
    bool Flush();
    // Flush, then ends the output for its reader: a pipe's reader sees its
    // end at once instead of once the tool has closed the library and let
    // go of its memory. What is written after it goes nowhere.
    bool End();
    // The reader went away or the stream failed.
    bool Broken() const { return m_bBroken; }
    // The reader closed the pipe (not a failure of the command).
    bool ReaderGone() const { return m_bReaderGone; }

    // A JSON string literal (quotes included), UTF-8; lone surrogates are
    // written as \u escapes so that nothing of the name is lost.
    static void AppendJsonString(QByteArray& out, const QString& text);
    // {"name":value,...}
    static QByteArray JsonObject(const CliRecord& record);

private:
    bool Check(bool ok);
    // Writes the records of WriteRecord gathered so far.
    bool WritePending();
    // Writes as many whole blocks of kPendingBytes as are gathered.
    bool WriteWholeBlocks();
    // What ends a record begun by OpenRecord: its last field closed, the line.
    std::string_view RecordEnd() const { return m_bJson ? std::string_view("\"}\n") : std::string_view("\n"); }
    // Appends a text field to the line, in UTF-8, escaped.
    void AppendText(const QString& text);

    bool m_bJson;
    FILE* m_pStream;
    bool m_bBroken = false;
    bool m_bReaderGone = false;
    bool m_bEnded = false;
    // Reused for every line and field: a search writes millions.
    QByteArray m_line;
    QByteArray m_utf8;
    // Records of WriteRecord, written a block at a time (a search writes
    // millions of short lines).
    static constexpr size_t kPendingBytes = 64 * 1024;
    PendingBytes m_pending;
    QStringEncoder m_encoder{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
};
