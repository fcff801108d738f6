// One registry root kept in one file. Reads see the newest file (re-read
// when it changed on disk); every change re-reads under an exclusive lock,
// applies itself and replaces the file atomically (write new, sync it,
// rename it over the old one, sync the folder), so two processes writing at
// once lose nothing and a crash never leaves a half-written store. A write
// that fails leaves the old file as it was and answers the failure. A
// damaged store file is reported once, moved aside on the next write, and
// read as empty.
#pragma once
#include "RegistryData.h"

#include <QMutex>
#include <QString>
#include <functional>
#include <memory>
#include <sys/types.h>

class RegistryStore {
public:
    // The system calls of a write, one function each, so that tests can
    // make any of them fail as a full disk or a failing device would.
    struct FileOps {
        std::function<ssize_t(int fd, const void* data, size_t size)> write;
        std::function<int(int fd)> syncFile;
        std::function<int(const char* from, const char* to)> rename;
        std::function<int(int fd)> syncFolder;
        static FileOps System();
    };

    explicit RegistryStore(QString filePath);
    void SetFileOps(FileOps ops) { m_ops = std::move(ops); }

    const QString& FilePath() const { return m_filePath; }
    // The current content (a copy that stays valid while the caller uses it).
    std::shared_ptr<const RegistryData> Snapshot();
    // Applies `change` to the newest content under the lock; `change` answers
    // whether it changed anything. Returns ERROR_SUCCESS or a write failure.
    LONG Modify(const std::function<LONG(RegistryData&, bool& changed)>& change);

    // The stores of the two roots: ALBIREO_REGISTRY_USER / _MACHINE name the
    // files; defaults are under the XDG config home and
    // ProgramPaths::MachineSettingsFolder().
    static RegistryStore& CurrentUser();
    static RegistryStore& LocalMachine();
    // Forgets the root stores so that changed environment variables apply (tests).
    static void ResetRoots();

private:
    struct FileStamp {
        qint64 inode = -1, size = -1, mtimeNs = -1;
        bool operator==(const FileStamp&) const = default;
    };
    FileStamp Stamp() const;
    void LoadIfChanged();
    LONG WriteFile(const RegistryData& data);
    bool WriteAll(int fd, const QByteArray& bytes);
    bool SyncFolder();
    void MoveDamagedAside();

    QString m_filePath;
    FileOps m_ops = FileOps::System();
    QMutex m_mutex;
    FileStamp m_stamp;
    std::shared_ptr<const RegistryData> m_data;
    bool m_damaged = false;
    FileStamp m_reportedDamage;
};
