// A connection to the library opened ahead, in the background, for the next
// listing's worker. Connecting takes several round trips to the server,
// which would otherwise come before every listing's first screen; opened
// ahead, they overlap the opening of the library and the time between
// listings.
#pragma once
#include "PgConnection.h"

#include <QString>
#include <future>
#include <memory>

class PgSpareConnection {
public:
    // A connection being opened; null once opened when it could not be.
    using Opening = std::future<std::unique_ptr<PgConnection>>;

    ~PgSpareConnection() { Drop(); }

    // Starts opening a spare connection to `address`, unless one is under way.
    void Prepare(const QString& address);
    // The spare (opened or still opening), and a new one on its way; an
    // invalid Opening when none was prepared.
    Opening Take(const QString& address);
    // Waits for the spare under way, if any, and closes it.
    void Drop();

private:
    Opening m_opening;
};
