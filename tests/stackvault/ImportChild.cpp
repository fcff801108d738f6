// Helper process for the import tests: writes to the library up to a given
// stage, says "ready" and waits to be killed.
//   ImportChild added      a disc is added, no import yet
//   ImportChild importing  a disc is added and half imported
//   ImportChild finished   a disc is added and fully imported
//   ImportChild create     prints the result of creating an engine and ends
#include "CDllCom.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
std::u16string U16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::u16string Rows(int firstId, int count, int disc, const char* prefix)
{
    std::u16string batch;
    for (int i = 0; i < count; ++i) {
        const std::string row = std::to_string(firstId + i) + ", '" + prefix + std::to_string(i) +
                                ".bin', 1, 'File', 5, " + std::to_string(disc) + ", 4, 1, 1";
        batch += batch.empty() ? u" SELECT " : u" UNION SELECT ";
        batch += U16(row);
    }
    return batch;
}

int Fail(const char* step, HRESULT hr)
{
    std::fprintf(stderr, "%s failed: %08X\n", step, static_cast<unsigned>(hr));
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    const std::string stage = argv[1];
    CDllCom loader;
    ILibraryEngine* engine = nullptr;
    HRESULT hr = loader.CreateLibraryEngine(&engine);
    if (stage == "create") {
        std::printf("%08X\n", static_cast<unsigned>(hr));
        if (engine) engine->Release();
        return 0;
    }
    if (FAILED(hr)) return Fail("create", hr);
    if (FAILED(hr = engine->Initialize(0, 1, 0))) return Fail("initialize", hr);
    if (FAILED(hr = engine->AddDisc("CHILD", u"", u"", u"", u"Child disc", u"", 0, 1, 1, 1000, 1, 1, u"")))
        return Fail("add disc", hr);
    LONG disc = 0, label = 0;
    engine->GetLastAddedDisc(&disc, &label);
    if (stage != "added") {
        LibraryImportHandle handle = nullptr;
        if (FAILED(hr = engine->OpenImportHandle(&handle))) return Fail("open import", hr);
        if (FAILED(hr = engine->InsertPathRows(handle, u" SELECT 1, '\\CHILDDIR'", 1))) return Fail("paths", hr);
        const std::u16string folders = U16("  SELECT 1, 'CHILDDIR', 0, 'Folder', 5, " + std::to_string(disc) + ", 4, 0, 0");
        if (FAILED(hr = engine->InsertFolderRows(handle, folders.c_str(), 1))) return Fail("folders", hr);
        for (int batch = 0; batch < 3; ++batch)
            if (FAILED(hr = engine->InsertFileRows(handle, Rows(1 + batch * 600, 600, disc, "childfile").c_str(), 1)))
                return Fail("files", hr);
        if (stage == "finished" && FAILED(hr = engine->CloseImportHandle(handle))) return Fail("close", hr);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) pause();
}
