// A connection to the library kept for the next listing's worker: opened
// ahead, in the background, when the library opens, and afterwards the
// connection of the last listing that ran to its end, handed back. Connecting
// takes several round trips to the server, and a new server process plans
// its first statements slowly (it reads the catalogue first); a connection
// opened ahead overlaps both with the opening of the library, one handed
// back has them done.
#pragma once
#include "PgConnection.h"

#include <QString>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class PgSpareConnection {
public:
    // A connection being opened; null once opened when it could not be.
    using Opening = std::future<std::unique_ptr<PgConnection>>;

    ~PgSpareConnection() { Drop(); }

    // Starts opening a spare connection to `address` unless one is kept or
    // under way; once open it runs `warmUp` (statements whose planning
    // reads what the listings' queries need).
    void Prepare(const QString& address, std::vector<std::string> warmUp = {});
    // The spare (opened or still opening), if any: an invalid Opening when none.
    Opening Take();
    // A connection that is done with its work (no transaction open) is
    // kept as the spare unless there is one. Any thread.
    void GiveBack(std::unique_ptr<PgConnection> db);
    // Waits for the spare under way, if any, and closes it.
    void Drop();

private:
    std::mutex m_mutex;
    Opening m_opening;
};
