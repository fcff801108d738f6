// Disc images made at test time: source trees, images from the peer tools
// (xorriso, genisoimage, mkudffs, pycdlib), CUE sheets over generated BIN
// data, and the peer tool's listing of an image for comparison.
#pragma once
#include "TestEnvironment.h"
#include "TrellisSession.h"

#include <QStringList>

#include <ostream>

// Readable QString values in failure messages.

namespace DiscImages {

// Runs a tool; false (with its output in the failure message) when it fails.
bool RunTool(const QString& program, const QStringList& arguments, QString* output = nullptr);
bool HaveTool(const QString& program);

// Writes a file of `size` bytes (sparse beyond the first block) with the
// given modification time (seconds since 1970, UTC).
void WriteFile(const QString& path, qint64 size, qint64 modified);
// Every entry below `root` with size (files) and modification time.
std::map<QString, CatalogEntry> SourceCatalog(const QString& root);
// xorriso's listing of an image (Rock Ridge names): folders and file sizes.
std::map<QString, CatalogEntry> PeerListing(const QString& image);
// The 64-bit file time of a time in seconds since 1970.
UINT64 FileTimeOf(qint64 secondsSince1970);

// A BIN of `frames` raw 2352-byte sectors of pseudo-random audio.
void WriteAudio(QByteArray& bin, int frames, int seed);
// Raw MODE1/2352 sectors around the 2048-byte blocks of an ISO image.
void WriteMode1(QByteArray& bin, const QByteArray& iso);

// Whole files as bytes, for tests that cut or patch an image.
QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& data);
// A little-endian 32-bit field of an on-disc structure.
uint32_t Le32At(const QByteArray& data, qsizetype offset);

} // namespace DiscImages
