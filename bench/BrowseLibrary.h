// The ten-million-file library of the browsing benchmark: 100 discs, made
// once through the engine's own import batches into a work folder and
// reused, together with a text file holding the same names one a line (the
// baseline's input). Discs 1-99 hold 500 folders of 200 files each; disc
// 100 holds one folder of 99,990 files and one of 10 (the folder timings).
#pragma once
#include <QString>

namespace BrowseLibrary {

inline constexpr int kDiscs = 100;
inline constexpr int kFilesPerDisc = 100000;
inline constexpr int kFoldersPerDisc = 500;
inline constexpr int kSmallFolderFiles = 10;

struct Paths {
    QString database;
    QString names;
};

// Builds what is missing in `folder` (minutes the first time) and returns
// where it is. Exits the process when the engine refuses a batch.
Paths Ensure(const QString& folder);
// Folder ids of disc 100's large and small folder.
int LargeFolderId();
int SmallFolderId();

} // namespace BrowseLibrary
