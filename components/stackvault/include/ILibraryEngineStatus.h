// An optional second interface of the library engine object (reached by
// QueryInterface from ILibraryEngine): what the program shows about the
// library's state besides its content. An engine without it is still a
// full engine; the program then simply shows less.
#pragma once
#include "LibraryRecords.h"
#include "com.h"

// {4E1B7C52-93A8-4F0D-B6C1-2D95E0A7F318}
inline constexpr IID IID_ILibraryEngineStatus = {
    0x4E1B7C52, 0x93A8, 0x4F0D, {0xB6, 0xC1, 0x2D, 0x95, 0xE0, 0xA7, 0xF3, 0x18}};

// The process whose import holds the library's import slot.
struct ImportSlotHolder {
    int32_t processId;
    char16_t program[kLibraryTextLength]; // its program name, such as "albireo-cli"
};

struct ILibraryEngineStatus : IUnknown {
    // S_OK and the holder while an OpenImportHandle of this instance waits
    // for another import into the library to end; S_FALSE when none waits.
    virtual HRESULT GetImportWait(ImportSlotHolder* holder) = 0;
    // Non-zero: an OpenImportHandle of this instance that waits gives up
    // with E_ABORT. A request made while none waits is forgotten; the
    // program repeats it with every progress poll.
    virtual HRESULT SetImportCancel(LONG cancel) = 0;
    // Why nothing can be added to the library: *reason is S_OK when it can
    // be written, else the failure that keeps it read-only (the disk-full
    // code HRESULT_FROM_WIN32(ERROR_DISK_FULL), E_ACCESSDENIED, ...).
    // Browsing and searching work either way.
    virtual HRESULT GetWriteFailure(HRESULT* reason) = 0;

protected:
    ~ILibraryEngineStatus() = default;
};
