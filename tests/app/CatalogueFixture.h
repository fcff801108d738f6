// A catalogue for window tests: discs imported from generated images by
// albireo-cli into a library of their own, which this test process then
// opens as the program does (ALBIREO_LIBRARY_DB points at it).
#pragma once
#include "CliRunner.h"

#include <QString>
#include <QStringList>
#include <memory>

class CAlbireoApp;
class CFileListView;

class CatalogueFixture {
public:
    CatalogueFixture();

    // Imports an ISO of the files (relative path -> size) as disc `name`
    // with the tags; false with the tool's message on failure.
    bool Import(const QString& name, const QList<QPair<QString, int>>& files, const QStringList& tags = {});
    // Imports a disc image made by the caller, by the real scan.
    bool ImportImage(const QString& name, const QString& image, const QStringList& tags = {});
    QString LibraryPath() const;
    // Fresh settings, instance lock folder and modal records for the next
    // start of the program in this process.
    static void ResetProgramState();
    // The program started on the catalogue as a user starts it (fresh
    // state first, no power notices); null when it did not start.
    static std::unique_ptr<CAlbireoApp> StartProgram();
    const CliRunner& Cli() const { return m_cli; }
    // Opens the row of the list that shows `name`, as Enter on it does.
    static bool OpenRowNamed(CFileListView* view, const QString& name);

private:
    CliRunner m_cli;
    QString m_drive;
    int m_nImages = 0;
};
