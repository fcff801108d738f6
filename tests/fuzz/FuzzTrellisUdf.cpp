// UDF (descriptors, partition maps, metadata and virtual partitions, file
// entries and directories) over a fuzzed image.
#include "FuzzTreeWalk.h"
#include "SparseImage.h"
#include "UdfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SparseImage image(data, size);
    UdfReader reader(image, 0);
    VolumeInfo info;
    if (reader.Probe(info)) WalkTree(reader);
    return 0;
}
