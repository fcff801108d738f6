// CFileOpenCommand: opens a catalogued file from its disc with the
// desktop's default application. The disc is looked for among the drives
// by its identity; when no drive holds it, the waiting dialog asks for it
// (with the disc's label picture) and the drives are looked through again
// once a disc is in. A physical drive's file is opened where the system
// mounted the disc (message 3345 when it is not mounted); an image drive's
// file is read out of the image by the disc engine into a new file of
// the private temporary folder (made by ConfinedFile: a name that is not
// one file name is refused in words) and opened from there, a large one
// (or one of a disc that takes long to parse) under the progress window,
// which can cancel it.
#pragma once
#include "ILibraryEngine.h"

#include <QString>
#include <QUrl>
#include <functional>

class CDiscAccess;
class ConfinedFile;
class QWidget;

class CFileOpenCommand {
public:
    // Files above this size, and reads that take longer than this, go on
    // under the progress window.
    static constexpr qint64 kProgressBytes = 8 << 20;
    static constexpr qint64 kQuietMs = 700;
    // How a file is handed to the desktop; true when it was opened.
    using Opener = std::function<bool(const QUrl&)>;

    CFileOpenCommand(QWidget* owner, CDiscAccess* discs, ILibraryEngine* library, Opener opener)
        : m_pOwner(owner), m_pDiscs(discs), m_pLibrary(library), m_opener(std::move(opener))
    {
    }

    // The file `name` in the folder `folderPath` ("\DIR\SUB", "" for the
    // root) of the catalogued disc `discId`.
    void Open(int discId, const QString& folderPath, const QString& name);

private:
    // The list position of the drive holding the disc, else -1 with
    // *emptyDrive the first drive without a disc (or -1).
    int FindDisc(const QByteArray& identity, int* emptyDrive) const;
    bool AskForDisc(int discId, int position);
    void OpenFromDrive(int position, const QString& pathOnDisc);
    void OpenFromMountPoint(int position, const QString& pathOnDisc);
    void OpenFromImage(int position, const QString& pathOnDisc);
    // Reads the file out of the image into `target`, under the progress
    // window when it takes a while.
    HRESULT ReadOut(int position, const QString& pathOnDisc, ConfinedFile& target);
    void HandOver(const QString& file);
    void Tell(const QString& text) const;

    QWidget* m_pOwner;
    CDiscAccess* m_pDiscs;
    ILibraryEngine* m_pLibrary;
    Opener m_opener;
};
