// The label pictures of the command line: made from a picture file for
// `label`, and copied from one library to another for `copy`. The work
// needs Qt Gui (and the dozens of libraries it brings), so it lives in a
// module of its own (AlbireoLabels.dll, LabelModuleExports.cpp) that is
// loaded beside the program only when a command handles a picture: every
// other command starts without it.
#pragma once
#include "ILibraryEngine.h"

#include <QString>

// Why a picture file gave no label.
struct PictureFileLabel {
    enum class Problem { None, TooLarge, Unreadable, NotSaved, ModuleMissing };
    Problem problem = Problem::None;
    int width = 0, height = 0; // the picture's size when TooLarge
    int maxSide = 0;           // the longest side a picture file may have
    HRESULT hr = S_OK;         // the failure of storing it, or of loading the module
};

namespace LabelModule {

inline constexpr char kModule[] = "AlbireoLabels.dll";
inline constexpr char kStorePictureFileExport[] = "AlbStorePictureFileLabel";
inline constexpr char kCopyLabelExport[] = "AlbCopyLabel";
using StorePictureFileFn = void (*)(ILibraryEngine* library, LONG discId, LONG oldLabelId, const QString* picturePath,
                                    const QString* folder, PictureFileLabel* outcome);
using CopyLabelFn = HRESULT (*)(ILibraryEngine* from, LONG labelId, ILibraryEngine* to, const QString* folder,
                                LONG* newLabelId, bool* pictureRead);

// Makes the label of a picture file as the window's picture file source
// does (read with the same limits and checks, its centred square cut to the
// disc's shape), through files in `folder`, and stores it as the disc's
// label set (replacing oldLabelId).
PictureFileLabel StorePictureFile(ILibraryEngine* library, LONG discId, LONG oldLabelId, const QString& picturePath,
                                  const QString& folder);
// Stores a label set of `from` again in `to`, from its largest picture,
// through files in `folder`; *newLabelId: its id in `to`, *pictureRead:
// whether the picture could be read from `from`.
HRESULT CopyLabel(ILibraryEngine* from, LONG labelId, ILibraryEngine* to, const QString& folder, LONG* newLabelId,
                  bool* pictureRead);

} // namespace LabelModule
