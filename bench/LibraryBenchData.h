// Shared pieces of the library engine benchmarks: reproducible file names,
// batches in the scanner's row format, the engine loaded as the program
// loads it, timing and the median.
#pragma once
#include "CDllCom.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct sqlite3;

namespace LibraryBench {

struct FileRow {
    int id;
    QString name;
    int64_t size;
    QString type;
    int64_t time;
    int folder;
    int path;
};

// Produces file names like those on real discs (photos, documents, music,
// camera files), built from a fixed vocabulary with a fixed seed.
class NameSource {
public:
    explicit NameSource(uint32_t seed = 20240601);
    FileRow Next(int id);
    // A word of the vocabulary (for queries that find something).
    QString Word(size_t index) const { return m_words[index % m_words.size()]; }

private:
    QString Pick(const std::vector<QString>& list);
    int Number(int below) { return static_cast<int>(m_random() % static_cast<uint32_t>(below)); }

    std::mt19937 m_random;
    std::vector<QString> m_words;
};

// Rows joined as the scanner joins them, with the disc and label ids.
QString BatchText(const std::vector<FileRow>& rows, int discId, int labelId);

double Seconds(std::chrono::steady_clock::duration duration);
double Median(std::vector<double> values);

// The engine component, loaded through CDllCom and initialised on the
// database the environment names.
class Engine {
public:
    explicit Engine(const QString& databasePath);
    ~Engine();
    ILibraryEngine* operator->() const { return m_engine; }
    bool IsReady() const { return m_ready; }

private:
    CDllCom m_loader;
    ILibraryEngine* m_engine = nullptr;
    bool m_ready = false;
};

// Adds a disc and imports `files` file rows into it through the engine's
// batches, their ids from *nextId on; returns the disc's id. Exits the
// process when the engine refuses.
int ImportDisc(Engine& engine, const char* identity, int files, int* nextId);

// A library at `path` holding one disc of `files` files, imported through
// the engine's batches. Exits the process when the engine refuses.
void FillOneDisc(const QString& path, int files);

// The process's memory from /proc/self/status, in MB: "VmRSS" (resident
// now) or "VmHWM" (the peak since start or since ResetPeak).
double StatusMegabytes(const char* field);
// Starts the kernel's peak ("VmHWM") again from the resident size now.
void ResetPeak();
// The machine's load average over 1, 5 and 15 minutes, as /proc shows it.
QString LoadAverage();

// Raw SQLite on a database file, with the pragmas the engine uses.
sqlite3* OpenRaw(const QString& databasePath);
void Exec(sqlite3* db, const char* sql);
int64_t FileSize(const QString& path);
// Bytes per table and index, largest first, as "name: MB" lines.
std::string SpaceByTable(sqlite3* db);

} // namespace LibraryBench
