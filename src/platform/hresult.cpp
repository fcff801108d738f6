#include "hresult.h"

#include <cerrno>

HRESULT HresultFromErrno(int error)
{
    switch (error) {
    case 0: return S_OK;
    case ENOENT: return HresultFromWin32(2);   // ERROR_FILE_NOT_FOUND
    case ENOTDIR: return HresultFromWin32(3);  // ERROR_PATH_NOT_FOUND
    case EACCES:
    case EPERM:
    case EROFS: return E_ACCESSDENIED;
    case ENOMEM: return E_OUTOFMEMORY;
    case EINVAL: return E_INVALIDARG;
    case EBUSY: return HresultFromWin32(170);  // ERROR_BUSY
    case ENOSPC: return HresultFromWin32(112); // ERROR_DISK_FULL
    case EEXIST: return HresultFromWin32(183); // ERROR_ALREADY_EXISTS
    case ENOMEDIUM: return HresultFromWin32(21); // ERROR_NOT_READY
    case EIO: return HresultFromWin32(1117);   // ERROR_IO_DEVICE
    case ENAMETOOLONG: return HresultFromWin32(206); // ERROR_FILENAME_EXCED_RANGE
    default: return MakeHresult(0x80070000u | (static_cast<uint32_t>(error) & 0xFFFFu));
    }
}
