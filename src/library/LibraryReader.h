// Reads lists from the library engine the way the engine wants them read
// (ask the count, allocate zero-filled records, let the engine fill them)
// and answers the questions of a catalogue browser without a disc: which
// disc a name means, which folder a path means, the entries below a folder.
#pragma once
#include "ILibraryListings.h"

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

class LibraryReader {
public:
    struct Entry {
        QString path; // from the disc's root with backslashes; folders end in one
        INT64 size = 0;
        INT64 time = 0; // file time
        bool folder = false;
    };

    explicit LibraryReader(ILibraryEngine* library) : m_pLibrary(library) {}

    // The first failure of an engine call so far (S_OK when none failed):
    // a list that could not be read comes back empty, so callers ask here
    // before they take an empty answer for an empty catalogue.
    HRESULT Failure() const { return m_hrFailure; }

    std::vector<DiscRecord> Discs() const;
    // The record of one catalogued disc; false when there is none.
    bool DiscById(int discId, DiscRecord* record) const;
    std::vector<DiscRecord> SearchDiscs(const QString& text) const;
    std::vector<ItemRecord> SearchFolders(const QString& text) const;
    std::vector<ItemRecord> SearchFiles(const QString& text) const;
    std::vector<FolderItemRecord> FolderItems(int discId, int folderId) const;
    QString Identity(int discId) const;
    // "\DIR\SUB\name" of a file found; a folder found carries its own path.
    QString FileFullPath(const ItemRecord& item) const;
    QString FolderFullPath(const ItemRecord& item) const;
    // The text of a path id ("\DIR\SUB"; "" for 0, the root), remembered
    // for the next entries of that folder.
    QString PathText(int pathId) const;

    // A disc by "#id" or by name (exact, then case-insensitive; a bare
    // number that is no disc's name is taken as an id); 0 with the reason
    // in *error when there is none or the name is ambiguous (the
    // candidates listed with their ids).
    int FindDisc(const QString& idOrName, QString* error) const;
    // The folder id of a path ("", "\", "\DIR\SUB", "DIR/SUB"); -1 with the
    // reason in *error when no such folder exists.
    int FindFolder(int discId, const QString& path, QString* error) const;
    // Calls `visit` for every entry of the folder (and below it when
    // recursive, a folder's tree right after the folder). A large folder is
    // read a block at a time through the engine's listings, so memory does
    // not grow with the size of a folder. `visit` returns false to stop;
    // false when stopped or a read failed (see Failure()).
    bool ListFolder(int discId, int folderId, const QString& folderPath, bool recursive,
                    const std::function<bool(const Entry&)>& visit) const;

    static QString Text(const char16_t* text) { return QString::fromUtf16(text); }
    static bool IsFolder(const FolderItemRecord& item);
    // "\DIR\SUB" for "DIR/SUB", "\DIR\SUB\" or "\\DIR"; "" for the root.
    static QString NormalisedPath(const QString& path);
    static QString IsoTime(INT64 fileTime);

private:
    // Passes hr on, remembering the first failure.
    HRESULT Note(HRESULT hr) const;
    // Calls `visit` for the entries of one folder, folders first, until it returns false.
    bool ForEachEntry(int discId, int folderId, const std::function<bool(const ItemRecord&, bool folder)>& visit) const;
    bool ForEachListed(ILibraryListings* listings, LibraryListing listing,
                       const std::function<bool(const ItemRecord&, bool folder)>& visit) const;
    template <class Record>
    std::vector<Record> ReadList(const std::function<HRESULT(LONG*)>& count,
                                 const std::function<HRESULT(Record*, LONG)>& fill) const;

    ILibraryEngine* m_pLibrary;
    mutable HRESULT m_hrFailure = S_OK;
    static constexpr int kRememberedPaths = 4096;
    // Folders with more entries are read through a listing, a block at a time.
    static constexpr LONG kWholeFolder = 4096;
    mutable QHash<int, QString> m_paths;
};
