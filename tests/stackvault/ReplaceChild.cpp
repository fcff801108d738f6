// Helper process for the replacement tests: catalogues the disc with
// identity "AGAIN" again, up to a given stage, says "ready" and waits to be
// killed.
//   ReplaceChild replacing   the new disc is half written under its import
//   ReplaceChild replaced    the import is closed: the replacement is done
#include "CDllCom.h"
#include "ILibraryDiscReads.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {
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
    if (FAILED(hr) || FAILED(hr = engine->Initialize(0, 1, 0))) return Fail("initialize", hr);
    ILibraryDiscReads* reads = nullptr;
    if (FAILED(hr = engine->QueryInterface(IID_ILibraryDiscReads, reinterpret_cast<void**>(&reads))))
        return Fail("interface", hr);
    LONG old = 0, disc = 0, label = 0;
    if (FAILED(hr = engine->FindDiscByIdentity("AGAIN", &old)) || old == 0) return Fail("find", hr);
    if (FAILED(hr = engine->AddDisc("AGAIN", u"", u"", u"", u"Again", u"", 0, 1, 0, 600, 1, 1, u"")))
        return Fail("add disc", hr);
    engine->GetLastAddedDisc(&disc, &label);
    LibraryImportHandle handle = nullptr;
    if (FAILED(hr = engine->OpenImportHandle(&handle))) return Fail("open import", hr);
    if (FAILED(hr = reads->ReplaceDiscWithHandle(handle, disc, old))) return Fail("replace", hr);
    LONG fileId = 0;
    engine->GetMaxFileId(handle, &fileId);
    std::u16string batch;
    for (int i = 1; i <= 600; ++i) {
        const std::string row = std::to_string(fileId + i) + ", 'new" + std::to_string(i) + ".bin', 1, 'File', 5, " +
                                std::to_string(disc) + ", 4, 0, 0";
        batch += batch.empty() ? u" SELECT " : u" UNION SELECT ";
        batch += std::u16string(row.begin(), row.end());
    }
    if (FAILED(hr = engine->InsertFileRows(handle, batch.c_str(), 1))) return Fail("files", hr);
    if (stage == "replaced" && FAILED(hr = engine->CloseImportHandle(handle))) return Fail("close", hr);
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) pause();
}
