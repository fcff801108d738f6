// Helper process for the import tests: writes to the library up to a given
// stage, says "ready" and waits to be killed.
//   ImportChild opened     the library is opened, nothing written by the child
//   ImportChild added      a disc is added, no import yet
//   ImportChild importing  a disc is added and half imported (holds the import slot)
//   ImportChild finished   a disc is added and fully imported
//   ImportChild empty      an audio disc without tracks, and a disc whose import wrote nothing
//   ImportChild steps      imports a disc of many batches, saying "step" after each call
//                          and "closed" at the end; the test kills it somewhere
//   ImportChild diskfull FOLDER
//                          on a small file system mounted at FOLDER (run it in a user and
//                          mount namespace of its own): fills it with a killed import, then
//                          reports "name value" lines on what a new instance can do
//   ImportChild create     prints the result of creating an engine and ends
#include "CDllCom.h"
#include "ILibraryEngineStatus.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
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

void Say(const char* line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

[[noreturn]] void WaitToBeKilled()
{
    Say("ready");
    for (;;) pause();
}

LONG AddDisc(ILibraryEngine* engine, const char* identity, LONG audioFlag, LONG fileCount)
{
    const HRESULT hr = engine->AddDisc(identity, u"", u"", u"", U16(identity).c_str(), u"", audioFlag, 1, 1, fileCount,
                                       1, 1, u"");
    LONG disc = 0, label = 0;
    if (SUCCEEDED(hr)) engine->GetLastAddedDisc(&disc, &label);
    return SUCCEEDED(hr) ? disc : 0;
}

// The scanner's order: a path, its folder, then file batches of 600; the
// ids continue the library's own numbering. `step` runs after each call.
template <class Step>
HRESULT ImportRows(ILibraryEngine* engine, LibraryImportHandle handle, LONG disc, int fileBatches, const char* prefix,
                   Step step)
{
    LONG maxPath = 0, maxFolder = 0, maxFile = 0;
    HRESULT hr = engine->GetMaxPathId(handle, &maxPath);
    if (SUCCEEDED(hr)) hr = engine->GetMaxFolderId(handle, &maxFolder);
    if (SUCCEEDED(hr)) hr = engine->GetMaxFileId(handle, &maxFile);
    const std::string dir = std::string("\\") + prefix + "DIR";
    if (SUCCEEDED(hr)) hr = engine->InsertPathRows(handle, U16(" SELECT " + std::to_string(maxPath + 1) + ", '" + dir + "'").c_str(), 1);
    if (SUCCEEDED(hr)) step();
    const std::string folder = "  SELECT " + std::to_string(maxFolder + 1) + ", '" + prefix + "DIR', 0, 'Folder', 5, " +
                               std::to_string(disc) + ", 4, 0, 0";
    if (SUCCEEDED(hr)) hr = engine->InsertFolderRows(handle, U16(folder).c_str(), 1);
    for (int batch = 0; SUCCEEDED(hr) && batch < fileBatches; ++batch) {
        step();
        hr = engine->InsertFileRows(handle, Rows(maxFile + 1 + batch * 600, 600, disc, prefix).c_str(), 1);
    }
    return hr;
}

ILibraryEngine* Open(CDllCom& loader, HRESULT* result)
{
    ILibraryEngine* engine = nullptr;
    *result = loader.CreateLibraryEngine(&engine);
    if (SUCCEEDED(*result)) *result = engine->Initialize(0, 1, 0);
    return engine;
}

int Steps(ILibraryEngine* engine)
{
    const LONG disc = AddDisc(engine, "STEPS", 0, 6000);
    LibraryImportHandle handle = nullptr;
    HRESULT hr = engine->OpenImportHandle(&handle);
    Say("step");
    if (SUCCEEDED(hr)) hr = ImportRows(engine, handle, disc, 10, "stepfile", [] { Say("step"); });
    if (SUCCEEDED(hr)) hr = engine->CloseImportHandle(handle);
    if (FAILED(hr)) return Fail("steps", hr);
    Say("closed");
    WaitToBeKilled();
}

void Report(const char* name, long long value) { std::printf("%s %lld\n", name, value); }

int IntegrityErrors(const std::string& path)
{
    sqlite3* db = nullptr;
    int errors = sqlite3_open(path.c_str(), &db) != SQLITE_OK;
    for (const char* check : {"INSERT INTO file_names(file_names, rank) VALUES('integrity-check', 1)",
                              "PRAGMA integrity_check"})
        errors += sqlite3_exec(db, check, nullptr, nullptr, nullptr) != SQLITE_OK;
    sqlite3_close(db);
    return errors;
}

// Fills the small file system with an import whose process then dies, and
// reports what a new instance can do before and after room is made.
int DiskFull(CDllCom& loader, const char* folder)
{
    if (mount("albireo-test", folder, "tmpfs", 0, "size=768k") != 0) return Fail("mount", E_FAIL);
    const std::string path = std::string(folder) + "/library.db";
    setenv("ALBIREO_LIBRARY_DB", path.c_str(), 1);
    HRESULT hr;
    ILibraryEngine* engine = Open(loader, &hr);
    if (FAILED(hr)) return Fail("initialize", hr);
    const LONG small = AddDisc(engine, "SMALL", 0, 600);
    LibraryImportHandle handle = nullptr;
    hr = engine->OpenImportHandle(&handle);
    if (SUCCEEDED(hr)) hr = ImportRows(engine, handle, small, 1, "small", [] {});
    if (SUCCEEDED(hr)) hr = engine->CloseImportHandle(handle);
    if (FAILED(hr)) return Fail("small import", hr);
    engine->Uninitialize();
    engine->Release();

    const pid_t filler = fork();
    if (filler == 0) {
        ILibraryEngine* doomed = Open(loader, &hr);
        const LONG big = AddDisc(doomed, "BIG", 0, 600000);
        hr = doomed->OpenImportHandle(&handle);
        if (SUCCEEDED(hr)) hr = ImportRows(doomed, handle, big, 1000, "big", [] {});
        Report("filling", static_cast<unsigned>(hr));
        std::fflush(stdout);
        _exit(0); // dies with the import open, as a killed process would
    }
    int status = 0;
    waitpid(filler, &status, 0);

    ILibraryEngine* reader = Open(loader, &hr);
    Report("open", static_cast<unsigned>(hr));
    if (FAILED(hr)) return 0;
    LONG count = -1;
    Report("discs", SUCCEEDED(reader->GetDiscCount(&count)) ? count : -1);
    Report("found", SUCCEEDED(reader->SearchFileCount(u"small1", &count)) ? count : -1);
    ILibraryEngineStatus* status2 = nullptr;
    reader->QueryInterface(IID_ILibraryEngineStatus, reinterpret_cast<void**>(&status2));
    HRESULT reason = S_OK;
    if (status2) status2->GetWriteFailure(&reason);
    Report("reason", static_cast<unsigned>(reason));
    Report("add", static_cast<unsigned>(reader->AddDisc("LATER", u"", u"", u"", u"later", u"", 0, 1, 1, 1, 1, 1, u"")));

    if (mount("albireo-test", folder, "tmpfs", MS_REMOUNT, "size=64m") != 0) return Fail("remount", E_FAIL);
    const LONG later = AddDisc(reader, "LATER", 0, 600);
    hr = later ? reader->OpenImportHandle(&handle) : E_FAIL;
    if (SUCCEEDED(hr)) hr = ImportRows(reader, handle, later, 1, "later", [] {});
    if (SUCCEEDED(hr)) hr = reader->CloseImportHandle(handle);
    Report("import", static_cast<unsigned>(hr));
    if (status2) status2->GetWriteFailure(&reason);
    Report("reason-after", static_cast<unsigned>(reason));
    Report("discs-after", SUCCEEDED(reader->GetDiscCount(&count)) ? count : -1);
    Report("big-after", SUCCEEDED(reader->SearchFileCount(u"big1", &count)) ? count : -1);
    if (status2) status2->Release();
    reader->Uninitialize();
    reader->Release();
    Report("integrity-errors", IntegrityErrors(path));
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const std::string stage = argv[1];
    CDllCom loader;
    if (stage == "diskfull") return argc == 3 ? DiskFull(loader, argv[2]) : 2;
    ILibraryEngine* engine = nullptr;
    HRESULT hr = loader.CreateLibraryEngine(&engine);
    if (stage == "create") {
        std::printf("%08X\n", static_cast<unsigned>(hr));
        if (engine) engine->Release();
        return 0;
    }
    if (FAILED(hr)) return Fail("create", hr);
    if (FAILED(hr = engine->Initialize(0, 1, 0))) return Fail("initialize", hr);
    if (stage == "steps") return Steps(engine);
    if (stage == "opened") WaitToBeKilled();
    if (stage == "empty") {
        AddDisc(engine, "NOTRACKS", -1, 0);
        const LONG disc = AddDisc(engine, "NOROWS", 0, 1000);
        LibraryImportHandle handle = nullptr;
        if (!disc || FAILED(hr = engine->OpenImportHandle(&handle)) || FAILED(hr = engine->CloseImportHandle(handle)))
            return Fail("empty import", hr);
        WaitToBeKilled();
    }
    const LONG disc = AddDisc(engine, "CHILD", 0, 1000);
    if (!disc) return Fail("add disc", E_FAIL);
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
    WaitToBeKilled();
}
