// Picture files the user picks for a label: any bytes are refused or give a
// picture within the reader's limits, scaled to the asked size.
#include "PictureFileReader.h"

#include <QBuffer>
#include <QGuiApplication>
#include <cstdlib>

namespace {

constexpr int kLongestSide = 512;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_picture_file";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const PictureFileReader::Result result = PictureFileReader::Read(&buffer, kLongestSide);
    if (SUCCEEDED(result.hr)) {
        if (result.image.isNull()) std::abort();
        if (qMax(result.image.width(), result.image.height()) > kLongestSide) std::abort();
        if (result.size.width() > PictureFileReader::kMaxSide || result.size.height() > PictureFileReader::kMaxSide)
            std::abort();
    } else if (!result.image.isNull()) {
        std::abort();
    }
    return 0;
}
