// Runs albireo-cli from the program folder in an environment of its own
// (settings, library and data folders in a fresh temporary folder), and
// builds the disc images the tests import.
#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>

struct CliResult {
    int exitCode = -1;
    QString out, err;
    // The lines as printed.
    QStringList RawLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    // Each record's fields read back (\t \n \r \\ undone).
    QList<QStringList> Records() const;
    // The records with their fields read back and joined by tabs again
    // (for names without tabs).
    QStringList Lines() const;
    // A field of the tab-separated output read back.
    static QString Unescaped(const QString& field);
};

class CliRunner {
public:
    CliRunner();

    CliResult Run(const QStringList& arguments, int timeoutMs = 120000) const;
    // Starts the tool without waiting (for the Ctrl-C test).
    QProcess* Start(const QStringList& arguments) const;
    // Ctrl-C to a tool still running; false when it has already ended (a
    // process id of 0 would interrupt the whole process group, the test
    // runner included).
    static bool Interrupt(QProcess& process);
    // Sets a machine value of the disc engine's settings before the first run.
    void SetImageDriveCount(int count) const;
    // The letter of the image drive at that place among the image drives.
    QString ImageDriveLetter(int nth = 0) const;
    const QString& Folder() const { return m_folder; }
    // Runs the tool on the library at `place` (a file or a server's address)
    // instead of the one in its data folder.
    void UseLibrary(const QString& place) { m_library = place; }

private:
    QProcessEnvironment Environment() const;
    QString m_folder;
    QString m_library;
};

namespace TestImages {

// Writes the files of `tree` (relative path -> content size) under a new folder.
QString MakeTree(const QString& parent, const QList<QPair<QString, int>>& files, const QStringList& emptyFolders = {});
// ISO 9660 with Rock Ridge and Joliet of a folder (xorriso).
QString MakeIso(const QString& sourceFolder, const QString& imagePath, const QString& volumeId);
// An ISO of `count` one-byte files spread over `folders` folders, grafted
// from one source file so that no large tree is written to disk.
QString MakeManyFilesIso(const QString& folder, int count, int folders);
// A UDF bridge image of a folder (genisoimage -udf).
QString MakeUdfBridge(const QString& sourceFolder, const QString& imagePath, const QString& volumeId);
// A CUE sheet over one BIN of `tracks` silent audio tracks of `seconds` each.
// `title`: the sheet's TITLE line, bytes as written (none when empty).
QString MakeAudioCue(const QString& folder, int tracks, int seconds, const QByteArray& title = {});
// "path<TAB>size" lines of a folder tree as albireo-cli ls -R prints them.
QStringList ListTree(const QString& folder);
// The paths an independent tool (xorriso -find) sees in an image, "\A\B" form, folders ending in "\".
QStringList PeerListing(const QString& imagePath);

} // namespace TestImages
