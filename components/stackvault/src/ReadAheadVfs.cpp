#include "ReadAheadVfs.h"

#include <cstring>
#include <memory>
#include <sqlite3.h>

namespace {

constexpr char kName[] = "sv-read-ahead";

// An open file: the default layer's file follows this struct in the same
// allocation (szOsFile covers both).
struct ReadAheadFile {
    sqlite3_file base;
    sqlite3_file* real;
    std::unique_ptr<char[]> block; // main database files only
    sqlite3_int64 blockStart;
    int blockBytes; // 0: no block
    sqlite3_int64 lastEnd; // where the last read ended
};

sqlite3_vfs* g_pReal = nullptr;
sqlite3_vfs g_vfs;
sqlite3_io_methods g_methods;

ReadAheadFile* Of(sqlite3_file* file) { return reinterpret_cast<ReadAheadFile*>(file); }
sqlite3_file* Real(sqlite3_file* file) { return Of(file)->real; }
void Forget(sqlite3_file* file) { Of(file)->blockBytes = 0; }

bool InBlock(const ReadAheadFile& f, int amount, sqlite3_int64 offset)
{
    return f.blockBytes > 0 && offset >= f.blockStart && offset + amount <= f.blockStart + f.blockBytes;
}

// A read that goes on from about where the last one ended (a scan passes
// over the pages of other tables between its own).
bool MovesForward(const ReadAheadFile& f, sqlite3_int64 offset)
{
    return offset >= f.lastEnd && offset - f.lastEnd < ReadAheadVfs::kBlockBytes;
}

int Read(sqlite3_file* file, void* out, int amount, sqlite3_int64 offset)
{
    ReadAheadFile& f = *Of(file);
    const bool forward = MovesForward(f, offset);
    f.lastEnd = offset + amount;
    if (f.block && !InBlock(f, amount, offset) && forward && amount <= ReadAheadVfs::kBlockBytes) {
        f.blockBytes = 0;
        // A short read (the end of the file) keeps no block.
        if (f.real->pMethods->xRead(f.real, f.block.get(), ReadAheadVfs::kBlockBytes, offset) == SQLITE_OK) {
            f.blockStart = offset;
            f.blockBytes = ReadAheadVfs::kBlockBytes;
        }
    }
    if (!f.block || !InBlock(f, amount, offset)) return f.real->pMethods->xRead(f.real, out, amount, offset);
    std::memcpy(out, f.block.get() + (offset - f.blockStart), size_t(amount));
    return SQLITE_OK;
}

int Close(sqlite3_file* file)
{
    ReadAheadFile& f = *Of(file);
    const int rc = f.real->pMethods->xClose(f.real);
    f.~ReadAheadFile();
    return rc;
}

int Write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset)
{
    Forget(file);
    return Real(file)->pMethods->xWrite(Real(file), data, amount, offset);
}

int Truncate(sqlite3_file* file, sqlite3_int64 size)
{
    Forget(file);
    return Real(file)->pMethods->xTruncate(Real(file), size);
}

int Lock(sqlite3_file* file, int level)
{
    Forget(file);
    return Real(file)->pMethods->xLock(Real(file), level);
}

int Unlock(sqlite3_file* file, int level)
{
    Forget(file);
    return Real(file)->pMethods->xUnlock(Real(file), level);
}

int ShmLock(sqlite3_file* file, int offset, int n, int flags)
{
    Forget(file);
    return Real(file)->pMethods->xShmLock(Real(file), offset, n, flags);
}

int Sync(sqlite3_file* file, int flags) { return Real(file)->pMethods->xSync(Real(file), flags); }
int FileSize(sqlite3_file* file, sqlite3_int64* size) { return Real(file)->pMethods->xFileSize(Real(file), size); }
int CheckReservedLock(sqlite3_file* file, int* out)
{
    return Real(file)->pMethods->xCheckReservedLock(Real(file), out);
}
int FileControl(sqlite3_file* file, int op, void* arg) { return Real(file)->pMethods->xFileControl(Real(file), op, arg); }
int SectorSize(sqlite3_file* file) { return Real(file)->pMethods->xSectorSize(Real(file)); }
int DeviceCharacteristics(sqlite3_file* file) { return Real(file)->pMethods->xDeviceCharacteristics(Real(file)); }
int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** out)
{
    return Real(file)->pMethods->xShmMap(Real(file), region, size, extend, out);
}
void ShmBarrier(sqlite3_file* file) { Real(file)->pMethods->xShmBarrier(Real(file)); }
int ShmUnmap(sqlite3_file* file, int deleteFlag) { return Real(file)->pMethods->xShmUnmap(Real(file), deleteFlag); }
// No mapped pages: the scanning connections read (they never set mmap_size).
int Fetch(sqlite3_file*, sqlite3_int64, int, void** out)
{
    *out = nullptr;
    return SQLITE_OK;
}
int Unfetch(sqlite3_file*, sqlite3_int64, void*) { return SQLITE_OK; }

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    ReadAheadFile* f = new (file) ReadAheadFile{};
    f->real = reinterpret_cast<sqlite3_file*>(f + 1);
    const int rc = g_pReal->xOpen(g_pReal, name, f->real, flags, outFlags);
    if (rc != SQLITE_OK || !f->real->pMethods) {
        if (f->real->pMethods) f->real->pMethods->xClose(f->real);
        f->~ReadAheadFile();
        file->pMethods = nullptr;
        return rc;
    }
    if (flags & SQLITE_OPEN_MAIN_DB) f->block.reset(new char[ReadAheadVfs::kBlockBytes]);
    file->pMethods = &g_methods;
    return SQLITE_OK;
}

void Register()
{
    g_pReal = sqlite3_vfs_find(nullptr);
    if (!g_pReal) return;
    g_methods = sqlite3_io_methods{3,         Close,           Read,         Write,    Truncate,          Sync,
                                   FileSize,  Lock,            Unlock,       CheckReservedLock, FileControl,
                                   SectorSize, DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier, ShmUnmap,
                                   Fetch,     Unfetch};
    g_vfs = *g_pReal;
    g_vfs.zName = kName;
    g_vfs.szOsFile = int(sizeof(ReadAheadFile)) + g_pReal->szOsFile;
    g_vfs.pNext = nullptr;
    g_vfs.xOpen = Open;
    if (sqlite3_vfs_register(&g_vfs, 0) != SQLITE_OK) g_pReal = nullptr;
}

} // namespace

namespace ReadAheadVfs {

const char* Name()
{
    static const bool registered = (Register(), g_pReal != nullptr);
    // SQLite's list of file systems outlives this module, which is unloaded
    // when the engine's last instance goes and may come back at another
    // address: the entry goes with the module (this destructor runs when it
    // is unloaded), so that the list never points into unmapped memory.
    static const struct Unregister {
        ~Unregister()
        {
            if (g_pReal) sqlite3_vfs_unregister(&g_vfs);
        }
    } unregister;
    return registered ? kName : nullptr;
}

} // namespace ReadAheadVfs
