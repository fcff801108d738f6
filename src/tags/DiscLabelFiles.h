// DiscLabelFiles: a disc's label set from a picture, as the disc information
// dialog makes it and the command line's `label` too. The picture becomes
// three square PNG files (32, 128 and 360 pixels) in a folder; storing
// them makes a new label set the disc's, its folders' and files', and
// deletes the set it replaces when that was the disc's own (the default
// sets 1 to 5 are never deleted).
#pragma once
#include "ILibraryEngine.h"

#include <QImage>
#include <QString>

struct DiscLabelPaths {
    QString small, medium, large; // 32, 128 and 360 pixels

    void Remove() const;
};

namespace DiscLabelFiles {

inline constexpr int kSmallSide = 32;
inline constexpr int kMediumSide = 128;
inline constexpr int kLargeSide = 360;

// Writes "<baseName>_S.png", "_M.png" and "_L.png" into folder (which ends
// in a separator), replacing files of those names only once all three are
// written: on failure files written before stay as they were.
HRESULT Write(const QImage& picture, const QString& folder, const QString& baseName, DiscLabelPaths* paths);
// Stores the written files as the disc's new label set (the first failure
// is returned; nothing after it is attempted).
HRESULT Store(ILibraryEngine* engine, LONG discId, LONG oldLabelId, const DiscLabelPaths& paths);

} // namespace DiscLabelFiles
