// One registry root kept in one file. Reads see the newest file (re-read
// when it changed on disk); every change re-reads under an exclusive lock,
// applies itself and replaces the file atomically (write new, then rename),
// so two processes writing at once lose nothing and a crash never leaves a
// half-written store. A damaged store file is reported once, moved aside on
// the next write, and read as empty.
#pragma once
#include "RegistryData.h"

#include <QMutex>
#include <QString>
#include <functional>
#include <memory>

class RegistryStore {
public:
    explicit RegistryStore(QString filePath);

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
    void MoveDamagedAside();

    QString m_filePath;
    QMutex m_mutex;
    FileStamp m_stamp;
    std::shared_ptr<const RegistryData> m_data;
    bool m_damaged = false;
    FileStamp m_reportedDamage;
};
