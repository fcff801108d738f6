#include "LabelPicture.h"

#include "Diagnostics.h"
#include "LabelPictureCodec.h"
#include "ModuleLoader.h"

namespace {

// The codec's exports, or nulls when its module cannot be loaded. The
// module (Qt Gui and the dozens of libraries it brings) is loaded from
// the engine's own folder the first time a picture is handled, so that
// opening and searching a library never loads it; it stays loaded.
struct Codec {
    ReadLabelPictureFn read = nullptr;
    DecodeLabelPictureFn decode = nullptr;
    HRESULT failure = E_FAIL; // why an export is missing
};

const Codec& LoadedCodec()
{
    static const Codec codec = [] {
        const QString folder = ModuleLoader::FolderOf(reinterpret_cast<const void*>(&LoadedCodec));
        HMODULE module = ModuleLoader::LoadLibrary(folder + QLatin1Char('/') + QLatin1String(kLabelPictureModule));
        if (!module) {
            DumpMsg("Stackvault", "picture module: %s", qPrintable(ModuleLoader::LastError()));
            return Codec{nullptr, nullptr, ModuleLoader::LastResult()};
        }
        return Codec{reinterpret_cast<ReadLabelPictureFn>(ModuleLoader::GetProcAddress(module, kReadLabelPictureExport)),
                     reinterpret_cast<DecodeLabelPictureFn>(
                         ModuleLoader::GetProcAddress(module, kDecodeLabelPictureExport))};
    }();
    return codec;
}

} // namespace

namespace LabelPicture {

HRESULT Read(const QString& path, int size, QByteArray& png)
{
    const Codec& codec = LoadedCodec();
    return codec.read ? codec.read(&path, size, &png) : codec.failure;
}

HRESULT Decode(const QByteArray& png, QImage** picture)
{
    const Codec& codec = LoadedCodec();
    return codec.decode ? codec.decode(&png, picture) : codec.failure;
}

} // namespace LabelPicture
