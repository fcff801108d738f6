// Named global mutexes ("Global\{...}") of the suite's programs. Each name is
// a lock file in the machine-wide run-time folder, held with flock while a
// process owns it, so a mutex disappears with the process that held it, a
// killed one included. "Already exists" means another process holds it.
//
// The folder is shared by every user, so nothing in it is trusted blindly:
// it is used only when it is a real folder (not a link) of root or of this
// user that others may write to only with the sticky bit set; lock files
// are never opened through a link, and only a file made here is opened up
// to other users.
//
//   DWORD error = 0;
//   auto mutex = NamedMutex::Create(u"Global\\{6EA1...}", true, &error);
//   if (!mutex) ...                          // the folder cannot be used
//   if (error == ERROR_ALREADY_EXISTS) ...   // another process holds it
#pragma once
#include "wintypes.h"

#include <QString>
#include <memory>

constexpr DWORD ERROR_ALREADY_EXISTS = 183;

class NamedMutex {
public:
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Opens the mutex, taking it when `initiallyOwned` and no other process
    // holds it. *lastError is ERROR_ALREADY_EXISTS when another process
    // holds it, 0 otherwise. Null (with the system error) when the folder
    // is not to be trusted or the lock file cannot be opened.
    static std::unique_ptr<NamedMutex> Create(const QString& name, bool initiallyOwned, DWORD* lastError);
    bool Owned() const { return m_bOwned; }
    // Gives the mutex up; the handle stays open until destruction.
    void Release();

    // The machine-wide run-time folder, /tmp/.albireo-global whatever
    // $TMPDIR says (ALBIREO_RUNTIME_DIR for tests), created on demand;
    // empty when the folder there is not to be trusted.
    static QString RuntimeFolder();
    // A real folder of root or of this user, which others may write to only
    // when it has the sticky bit.
    static bool IsTrustedFolder(const QString& folder);
    // The lock file of a mutex name: "Global\" dropped, unsafe characters
    // replaced; empty without a trusted folder.
    static QString LockFilePath(const QString& name);

private:
    explicit NamedMutex(int fd) : m_fd(fd) {}

    int m_fd = -1;
    bool m_bOwned = false;
};
