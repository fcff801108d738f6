#include "Iso9660Reader.h"

#include "ByteOrder.h"
#include "FileTime.h"
#include "TextDecode.h"

#include <cstring>

namespace {

constexpr uint32_t kBlock = DiscMedium::kBlockSize;
constexpr uint32_t kMaxDescriptors = 64;
constexpr uint32_t kMaxDirectoryBytes = 32u << 20;
constexpr int kMaxContinuations = 16;
constexpr uint8_t kFlagHidden = 0x01;
constexpr uint8_t kFlagDirectory = 0x02;
constexpr uint8_t kFlagAssociated = 0x04;
constexpr uint8_t kFlagMultiExtent = 0x80;

bool IsJolietEscape(const uint8_t* descriptor)
{
    const uint8_t* escape = descriptor + 88;
    return escape[0] == 0x25 && escape[1] == 0x2F && (escape[2] == 0x40 || escape[2] == 0x43 || escape[2] == 0x45);
}

// The ISO name without its ";version" and, for plain names, a trailing dot.
void CleanIsoName(std::u16string& name, bool stripDot)
{
    const size_t semicolon = name.rfind(u';');
    if (semicolon != std::u16string::npos) name.resize(semicolon);
    if (stripDot && !name.empty() && name.back() == u'.') name.pop_back();
}

// The system use area of a directory record: after the name and its pad byte.
size_t SystemUseOffset(const uint8_t* record) { return 33 + record[32] + ((record[32] & 1) ? 0 : 1); }

} // namespace

Iso9660Reader::Iso9660Reader(DiscMedium& medium, uint32_t sessionStart) : m_medium(medium), m_sessionStart(sessionStart) {}

bool Iso9660Reader::Probe(VolumeInfo& info)
{
    uint8_t block[kBlock];
    bool primary = false;
    std::u16string jolietLabel;
    std::array<uint8_t, 34> jolietRoot{};
    for (uint32_t i = 0; i < kMaxDescriptors; ++i) {
        if (!m_medium.ReadBlocks(m_sessionStart + 16 + i, 1, block)) break;
        if (std::memcmp(block + 1, "CD001", 5) != 0 || block[0] == 255) break;
        if (block[0] == 1 && !primary) {
            primary = true;
            std::memcpy(m_root.data(), block + 156, 34);
            m_volumeBlocks = Le32(block + 80);
            info.label = TextDecode::FromUtf8OrLatin1(block + 40, 32);
            TextDecode::TrimRight(info.label);
            if (!FileTime::VolumeTimeFromIsoDigits(block + 813, &info.time))
                FileTime::VolumeTimeFromIsoDigits(block + 830, &info.time);
        } else if (block[0] == 2 && IsJolietEscape(block) && !m_joliet) {
            m_joliet = true;
            std::memcpy(jolietRoot.data(), block + 156, 34);
            jolietLabel = TextDecode::FromUtf16Be(block + 40, 32);
            TextDecode::TrimRight(jolietLabel);
        }
    }
    if (!primary) return false;
    info.partitionSize = m_volumeBlocks;
    info.usedBlocks = m_volumeBlocks;
    info.describedBlocks = m_volumeBlocks;
    if (!jolietLabel.empty()) info.label = jolietLabel;

    // Rock Ridge announces itself in the root's "." record (SUSP "SP", or
    // Rock Ridge entries directly for writers that skip "SP").
    uint8_t rootBlock[kBlock];
    if (m_medium.ReadBlocks(Le32(m_root.data() + 2), 1, rootBlock) && rootBlock[0] >= 34 && rootBlock[32] == 1) {
        const uint8_t* sua = rootBlock + 34;
        const size_t suaLength = rootBlock[0] - 34;
        if (suaLength >= 7 && sua[0] == 'S' && sua[1] == 'P' && sua[4] == 0xBE && sua[5] == 0xEF) {
            m_rockRidge = true;
            m_suspSkip = sua[6];
        } else if (suaLength >= 4 && ((sua[0] == 'R' && sua[1] == 'R') || (sua[0] == 'P' && sua[1] == 'X'))) {
            m_rockRidge = true;
        }
    }
    if (m_rockRidge) {
        info.fsType = TRELLIS_FS_ROCKRIDGE;
    } else if (m_joliet) {
        info.fsType = TRELLIS_FS_JOLIET;
        m_root = jolietRoot;
    } else {
        info.fsType = TRELLIS_FS_ISO9660;
    }
    return true;
}

HRESULT Iso9660Reader::ReadTree(FileTree& tree, ParseControl& control)
{
    m_jobs.clear();
    m_visited.clear();
    m_jobs.push_back({Le32(m_root.data() + 2), Le32(m_root.data() + 10), FileTree::kRoot, 0});
    m_visited.insert(m_jobs.front().extent);
    const uint32_t volume = m_volumeBlocks ? m_volumeBlocks : m_medium.Layout().leadOut;
    m_directoryBytesLeft = (uint64_t(volume) + 512) * kBlock;
    std::vector<uint8_t> data;
    uint32_t done = 0;
    while (!m_jobs.empty()) {
        if (control.Aborted()) return E_ABORT;
        const DirectoryJob job = m_jobs.front();
        m_jobs.pop_front();
        if (const uint32_t failure = ReadDirectory(job, data)) {
            tree.MissFolder(failure);
        } else {
            if (job.length > kMaxDirectoryBytes) tree.MissFolder(TRELLIS_GAP_LIMIT); // read in part
            ParseDirectory(job, data, tree);
        }
        ++done;
        control.Report(double(done) / double(done + m_jobs.size()));
    }
    return S_OK;
}

uint32_t Iso9660Reader::ReadDirectory(const DirectoryJob& job, std::vector<uint8_t>& data)
{
    const uint32_t length = job.length < kMaxDirectoryBytes ? job.length : kMaxDirectoryBytes;
    const uint32_t blocks = (length + kBlock - 1) / kBlock;
    if (blocks == 0) return TRELLIS_GAP_DAMAGED;
    if (uint64_t(blocks) * kBlock > m_directoryBytesLeft) return TRELLIS_GAP_LIMIT;
    m_directoryBytesLeft -= uint64_t(blocks) * kBlock;
    if (m_volumeBlocks && (job.extent >= m_volumeBlocks || blocks > m_volumeBlocks - job.extent))
        return TRELLIS_GAP_DAMAGED;
    if (const uint32_t beyond = BeyondEnd(job.extent, length)) return beyond; // not worth a buffer
    data.resize(size_t(blocks) * kBlock);
    return m_medium.ReadBlocks(job.extent, blocks, data.data()) ? 0 : TRELLIS_GAP_READ_ERROR;
}

uint32_t Iso9660Reader::BeyondEnd(uint32_t extent, uint32_t length) const
{
    const uint32_t blocks = (length + kBlock - 1) / kBlock;
    const uint32_t end = m_medium.Layout().leadOut;
    return extent >= end || blocks > end - extent ? TRELLIS_GAP_BEYOND_END : 0;
}

void Iso9660Reader::ParseDirectory(const DirectoryJob& job, const std::vector<uint8_t>& data, FileTree& tree)
{
    PendingEntry pending;
    bool damaged = false;
    size_t position = 0;
    while (position < data.size()) {
        const size_t blockEnd = (position / kBlock + 1) * kBlock;
        const uint8_t length = data[position];
        if (length == 0 || position + length > blockEnd || length < 34) {
            damaged |= length != 0;
            position = blockEnd; // padding to the next block, or a damaged record
            continue;
        }
        Record record;
        if (!DecodeRecord(&data[position], length, record))
            damaged = true;
        else if (!record.skip)
            AddEntry(job, record, pending, tree);
        position += length;
    }
    Flush(job, pending, tree);
    if (damaged) tree.MissFolder(TRELLIS_GAP_DAMAGED);
}

bool Iso9660Reader::DecodeRecord(const uint8_t* record, size_t length, Record& out)
{
    const uint8_t nameLength = record[32];
    if (33u + nameLength > length) return false;
    if (nameLength == 1 && record[33] <= 1) {
        out.skip = true;
        return true;
    }
    out.extent = Le32(record + 2);
    out.length = Le32(record + 10);
    out.flags = record[25];
    if (out.flags & kFlagAssociated) {
        out.skip = true; // the resource fork of a Macintosh file, not an entry of its own
        return true;
    }
    out.fileTime = FileTime::FromIsoRecord(record + 18);
    if (m_joliet && !m_rockRidge) {
        out.name = TextDecode::FromUtf16Be(record + 33, nameLength);
        CleanIsoName(out.name, false);
    } else {
        out.name = TextDecode::FromUtf8OrLatin1(record + 33, nameLength);
        CleanIsoName(out.name, true);
    }
    const size_t systemUse = SystemUseOffset(record) + (m_rockRidge ? m_suspSkip : 0);
    if (m_rockRidge && systemUse < length) ReadRockRidge(record + systemUse, length - systemUse, out);
    return !out.name.empty();
}

void Iso9660Reader::ReadRockRidge(const uint8_t* area, size_t length, Record& out)
{
    std::string alternateName;
    bool hasName = false;
    uint8_t continuation[kBlock];
    for (int hops = 0;; ++hops) {
        uint32_t nextBlock = 0, nextOffset = 0, nextLength = 0;
        size_t position = 0;
        while (position + 4 <= length) {
            const uint8_t* entry = area + position;
            const uint8_t entryLength = entry[2];
            if (entryLength < 4 || position + entryLength > length) break;
            const auto is = [&](const char* signature) { return entry[0] == signature[0] && entry[1] == signature[1]; };
            if (is("ST")) break;
            if (is("NM") && entryLength >= 5) {
                if (!(entry[4] & 0x06)) {
                    alternateName.append(reinterpret_cast<const char*>(entry + 5), entryLength - 5);
                    hasName = true;
                }
            } else if (is("TF") && entryLength >= 5) {
                const uint8_t flags = entry[4];
                const size_t stampLength = (flags & 0x80) ? 17 : 7;
                size_t stamp = 5 + ((flags & 0x01) ? stampLength : 0); // skip the creation time
                if ((flags & 0x02) && stamp + stampLength <= entryLength) {
                    TrellisVolumeTime digits;
                    if (stampLength == 7)
                        out.fileTime = FileTime::FromIsoRecord(entry + stamp);
                    else if (FileTime::VolumeTimeFromIsoDigits(entry + stamp, &digits))
                        out.fileTime = FileTime::FromCalendar(digits.year, digits.month, digits.day, digits.hour,
                                                              digits.minute, digits.second,
                                                              int8_t(entry[stamp + 16]) * 15);
                }
            } else if (is("CL") && entryLength >= 12) {
                // A deep directory relocated elsewhere: it belongs here.
                out.extent = Le32(entry + 4);
                out.length = DirectoryLength(out.extent);
                out.flags |= kFlagDirectory;
            } else if (is("RE")) {
                out.skip = true; // shown where its "CL" record stands
            } else if (is("CE") && entryLength >= 28) {
                nextBlock = Le32(entry + 4);
                nextOffset = Le32(entry + 12);
                nextLength = Le32(entry + 20);
            }
            position += entryLength;
        }
        if (!nextLength || hops >= kMaxContinuations || nextOffset >= kBlock || nextLength > kBlock - nextOffset ||
            !m_medium.ReadBlocks(nextBlock, 1, continuation))
            break;
        area = continuation + nextOffset;
        length = nextLength;
    }
    if (hasName && !alternateName.empty())
        out.name = TextDecode::FromUtf8OrLatin1(reinterpret_cast<const uint8_t*>(alternateName.data()),
                                                alternateName.size());
}

uint32_t Iso9660Reader::DirectoryLength(uint32_t extent)
{
    uint8_t block[kBlock];
    if (!m_medium.ReadBlocks(extent, 1, block) || block[0] < 34) return 0;
    return Le32(block + 10); // the "." record describes the directory itself
}

void Iso9660Reader::AddEntry(const DirectoryJob& job, const Record& record, PendingEntry& pending, FileTree& tree)
{
    const bool folder = record.flags & kFlagDirectory;
    if (pending.active && (folder || pending.node.name != record.name)) Flush(job, pending, tree);
    if (!folder) {
        if (!pending.active) {
            pending.active = true;
            pending.node = FileNode{};
            pending.node.name = record.name;
            pending.node.fileTime = record.fileTime;
            pending.node.attributes = TRELLIS_ATTRIBUTE_READONLY | ((record.flags & kFlagHidden) ? TRELLIS_ATTRIBUTE_HIDDEN : 0);
            pending.dataMissing = 0;
        }
        pending.node.size += record.length;
        if (record.length) pending.dataMissing |= BeyondEnd(record.extent, record.length);
        if (!(record.flags & kFlagMultiExtent)) Flush(job, pending, tree);
        return;
    }
    FileNode node;
    node.name = record.name;
    node.fileTime = record.fileTime;
    node.attributes = TRELLIS_ATTRIBUTE_DIRECTORY | TRELLIS_ATTRIBUTE_READONLY |
                      ((record.flags & kFlagHidden) ? TRELLIS_ATTRIBUTE_HIDDEN : 0);
    const uint32_t index = tree.Add(job.node, std::move(node));
    if (index == FileTree::kNone) return;
    if (job.depth + 1 >= FileTree::kMaxDepth || !m_visited.insert(record.extent).second) {
        tree.MissFolder(TRELLIS_GAP_LOOP); // too deep, or a directory seen before (a loop)
        return;
    }
    m_jobs.push_back({record.extent, record.length, index, job.depth + 1});
}

void Iso9660Reader::Flush(const DirectoryJob& job, PendingEntry& pending, FileTree& tree)
{
    if (!pending.active) return;
    pending.active = false;
    if (tree.Add(job.node, std::move(pending.node)) != FileTree::kNone && pending.dataMissing)
        tree.MissFile(pending.dataMissing);
}
