#include "LabelModule.h"

#include "ModuleLoader.h"

namespace {

// The module's exports, loaded on first use; nulls when it cannot be loaded.
struct Exports {
    LabelModule::StorePictureFileFn storePictureFile = nullptr;
    LabelModule::CopyLabelFn copyLabel = nullptr;
    HRESULT failure = E_FAIL;
};

const Exports& Loaded()
{
    static const Exports exports = [] {
        HMODULE module = ModuleLoader::LoadLibrary(QString::fromLatin1(LabelModule::kModule));
        if (!module) return Exports{nullptr, nullptr, ModuleLoader::LastResult()};
        return Exports{reinterpret_cast<LabelModule::StorePictureFileFn>(
                           ModuleLoader::GetProcAddress(module, LabelModule::kStorePictureFileExport)),
                       reinterpret_cast<LabelModule::CopyLabelFn>(
                           ModuleLoader::GetProcAddress(module, LabelModule::kCopyLabelExport))};
    }();
    return exports;
}

} // namespace

namespace LabelModule {

PictureFileLabel StorePictureFile(ILibraryEngine* library, LONG discId, LONG oldLabelId, const QString& picturePath,
                                  const QString& folder)
{
    PictureFileLabel outcome;
    const Exports& exports = Loaded();
    if (!exports.storePictureFile) {
        outcome.problem = PictureFileLabel::Problem::ModuleMissing;
        outcome.hr = exports.failure;
        return outcome;
    }
    exports.storePictureFile(library, discId, oldLabelId, &picturePath, &folder, &outcome);
    return outcome;
}

HRESULT CopyLabel(ILibraryEngine* from, LONG labelId, ILibraryEngine* to, const QString& folder, LONG* newLabelId,
                  bool* pictureRead)
{
    *pictureRead = false;
    const Exports& exports = Loaded();
    return exports.copyLabel ? exports.copyLabel(from, labelId, to, &folder, newLabelId, pictureRead) : exports.failure;
}

} // namespace LabelModule
