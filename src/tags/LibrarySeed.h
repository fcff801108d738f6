// What a library holds from its first start: the four category tags and
// the five default label image sets. The tag pane and the file list view
// each seed the library when they open it, whichever comes first.
#pragma once
#include "ILibraryEngine.h"

#include <QString>

namespace LibrarySeed {

// The tag count; when the library has no tags, the four category tags are
// added first. A failure, or still no tags after adding, fails.
HRESULT EnsureTags(ILibraryEngine* library, LONG* tagCount);
// When the library has no label sets, adds the default sets of the
// categories video, photo, music, data and system in that order, stopping
// at the first category whose 32, 128 or 360 pixel picture is missing
// under programFolder. Returns how many sets were added.
int EnsureDefaultLabels(ILibraryEngine* library, const QString& programFolder);
// The picture file of a default label ("video", 32) under the program folder.
QString DefaultLabelFile(const QString& programFolder, const QString& category, int pixels);

} // namespace LibrarySeed
