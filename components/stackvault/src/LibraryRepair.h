// Rebuilds a damaged library from everything that can still be read. The
// damaged file stays in place, read-only, until a new library has been
// built beside it and has passed the full integrity check; only then is
// the damaged file moved aside (untouched) and the new one put in its
// place, so a repair that fails changes nothing.
//
// The new library gets every readable row of every table (row by row where
// pages fail, TableSalvage), a stand-in disc for rows whose disc record was
// lost, the disc-path links of its rows, and name indexes rebuilt from the
// names: damage confined to the name indexes costs nothing.
#pragma once
#include "ILibraryMaintenance.h"
#include "SqliteConnection.h"

#include <QString>

class LibraryRepair {
public:
    explicit LibraryRepair(const QString& libraryPath) : m_path(libraryPath) {}
    ~LibraryRepair();

    HRESULT Run(LibraryRepairReport* report);

private:
    HRESULT Build(LibraryRepairReport* report);
    bool OpenDamaged();
    HRESULT CopyReadableRows();
    HRESULT Execute(const char* sql);
    HRESULT AddStandInDiscs(LibraryRepairReport* report);
    HRESULT Measure(LibraryRepairReport* report);
    HRESULT Finish();
    HRESULT Swap(LibraryRepairReport* report);

    QString m_path;
    QString m_newPath;
    SqliteConnection m_damaged; // read-only
    SqliteConnection m_db;      // the new library
};
