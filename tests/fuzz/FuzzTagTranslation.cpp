// The tag translation file: any bytes give a matrix of the right size with
// names of at most 259 characters, or an empty one with an error.
#include "TagTranslationFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TagTranslationFile file;
    const bool read = file.Parse(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (file.Cells().size() != file.TagKeys().size() * file.Languages().size()) std::abort();
    if (!read && (!file.Cells().isEmpty() || file.ErrorString().isEmpty())) std::abort();
    for (const QString& cell : file.Cells())
        if (cell.size() > TagTranslationFile::kMaxNameLength) std::abort();
    return 0;
}
