// ISO 9660 with Rock Ridge and Joliet over a fuzzed image.
#include "FuzzTreeWalk.h"
#include "Iso9660Reader.h"
#include "SparseImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SparseImage image(data, size);
    Iso9660Reader reader(image, 0);
    VolumeInfo info;
    if (reader.Probe(info)) WalkTree(reader);
    return 0;
}
