// A catalogue for window tests: discs imported from generated images by
// albireo-cli into a library of their own, which this test process then
// opens as the program does (ALBIREO_LIBRARY_DB points at it).
#pragma once
#include "CliRunner.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

class CAlbireoApp;
class CFileListView;

class CatalogueFixture {
public:
    CatalogueFixture();

    // When the disc was made (its volume's time, which its import stores as
    // the disc's date) and when its files were last changed (relative path
    // -> time); unset: now.
    struct Times {
        QDateTime volume;
        QHash<QString, QDateTime> files;
    };
    // Imports an ISO of the files (relative path -> size) as disc `name`
    // with the tags; false with the tool's message on failure.
    bool Import(const QString& name, const QList<QPair<QString, int>>& files, const QStringList& tags = {},
                const Times& times = {});
    // Imports a disc image made by the caller, by the real scan.
    bool ImportImage(const QString& name, const QString& image, const QStringList& tags = {});
    // The image a disc was imported from, and the folder of its files.
    QString ImageOf(const QString& name) const { return m_images.value(name); }
    QString TreeOf(const QString& name) const { return m_trees.value(name); }
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
    QHash<QString, QString> m_images;
    QHash<QString, QString> m_trees;
};
