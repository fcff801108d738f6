#include "Iso9660Reader.h"

#include "ByteOrder.h"
#include "DiscTime.h"
#include "FileDataRuns.h"
#include "Iso9660Layout.h"
#include "TextDecode.h"

#include <cstring>

namespace {

using namespace Iso9660Layout;
namespace DirRecord = Iso9660Layout::DirectoryRecord;

constexpr uint32_t kBlock = DiscMedium::kBlockSize;
constexpr uint32_t kMaxDescriptors = 64;
constexpr uint32_t kMaxDirectoryBytes = 32u << 20;
constexpr int kMaxContinuations = 16;

bool IsJolietEscape(const uint8_t* descriptor)
{
    const uint8_t* escape = descriptor + VolumeDescriptor::kEscapeSequences;
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
size_t SystemUseOffset(const uint8_t* record)
{
    const uint8_t nameLength = record[DirRecord::kNameLength];
    return DirRecord::kName + nameLength + ((nameLength & 1) ? 0 : 1);
}

} // namespace

Iso9660Reader::Iso9660Reader(DiscMedium& medium, uint32_t sessionStart) : m_medium(medium), m_sessionStart(sessionStart) {}

bool Iso9660Reader::Probe(VolumeInfo& info)
{
    uint8_t block[kBlock];
    bool primary = false;
    std::u16string jolietLabel;
    std::array<uint8_t, VolumeDescriptor::kRootRecordSize> jolietRoot{};
    for (uint32_t i = 0; i < kMaxDescriptors; ++i) {
        if (!m_medium.ReadBlocks(m_sessionStart + VolumeDescriptor::kFirstBlock + i, 1, block)) break;
        const uint8_t type = block[VolumeDescriptor::kType];
        if (std::memcmp(block + VolumeDescriptor::kStandardId, "CD001", 5) != 0 || type == VolumeDescriptor::kTerminator)
            break;
        if (type == VolumeDescriptor::kPrimary && !primary) {
            primary = true;
            std::memcpy(m_root.data(), block + VolumeDescriptor::kRootRecord, m_root.size());
            m_volumeBlocks = Le32(block + VolumeDescriptor::kVolumeBlocks);
            info.label = TextDecode::FromUtf8OrLatin1(block + VolumeDescriptor::kLabel, VolumeDescriptor::kLabelSize);
            TextDecode::TrimRight(info.label);
            if (!DiscTime::VolumeTimeFromIsoDigits(block + VolumeDescriptor::kCreationTime, &info.time))
                DiscTime::VolumeTimeFromIsoDigits(block + VolumeDescriptor::kModificationTime, &info.time);
        } else if (type == VolumeDescriptor::kSupplementary && IsJolietEscape(block) && !m_joliet) {
            m_joliet = true;
            std::memcpy(jolietRoot.data(), block + VolumeDescriptor::kRootRecord, jolietRoot.size());
            jolietLabel = TextDecode::FromUtf16Be(block + VolumeDescriptor::kLabel, VolumeDescriptor::kLabelSize);
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
    if (m_medium.ReadBlocks(Le32(m_root.data() + DirRecord::kExtent), 1, rootBlock) &&
        rootBlock[DirRecord::kLength] >= DirRecord::kMinimumSize && rootBlock[DirRecord::kNameLength] == 1) {
        const uint8_t* sua = rootBlock + DirRecord::kMinimumSize;
        const size_t suaLength = rootBlock[DirRecord::kLength] - DirRecord::kMinimumSize;
        if (suaLength >= SystemUse::kSpSize && sua[0] == 'S' && sua[1] == 'P' && sua[SystemUse::kSpCheck] == 0xBE &&
            sua[SystemUse::kSpCheck + 1] == 0xEF) {
            m_rockRidge = true;
            m_suspSkip = sua[SystemUse::kSpSkip];
        } else if (suaLength >= SystemUse::kHeader &&
                   ((sua[0] == 'R' && sua[1] == 'R') || (sua[0] == 'P' && sua[1] == 'X'))) {
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
    m_multiExtents.clear();
    m_jobs.push_back({Le32(m_root.data() + DirRecord::kExtent), Le32(m_root.data() + DirRecord::kDataLength), FileTree::kRoot, 0});
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
        const uint8_t length = data[position + DirRecord::kLength];
        if (length == 0 || position + length > blockEnd || length < DirRecord::kMinimumSize) {
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
    const uint8_t nameLength = record[DirRecord::kNameLength];
    if (DirRecord::kName + nameLength > length) return false;
    if (nameLength == 1 && record[DirRecord::kName] <= 1) {
        out.skip = true;
        return true;
    }
    out.extent = Le32(record + DirRecord::kExtent);
    out.length = Le32(record + DirRecord::kDataLength);
    out.flags = record[DirRecord::kFlags];
    if (out.flags & DirRecord::kAssociated) {
        out.skip = true; // the resource fork of a Macintosh file, not an entry of its own
        return true;
    }
    // The record's own name and time only where Rock Ridge gives none.
    RockRidgeFields given;
    const size_t systemUse = SystemUseOffset(record) + (m_rockRidge ? m_suspSkip : 0);
    if (m_rockRidge && systemUse < length) given = ReadRockRidge(record + systemUse, length - systemUse, out);
    if (!given.time) out.fileTime = DiscTime::FromIsoRecord(record + DirRecord::kRecordingTime);
    if (given.name) return !out.name.empty();
    if (m_joliet && !m_rockRidge) {
        out.name = TextDecode::FromUtf16Be(record + DirRecord::kName, nameLength);
        CleanIsoName(out.name, false);
    } else {
        out.name = TextDecode::FromUtf8OrLatin1(record + DirRecord::kName, nameLength);
        CleanIsoName(out.name, true);
    }
    return !out.name.empty();
}

Iso9660Reader::RockRidgeFields Iso9660Reader::ReadRockRidge(const uint8_t* area, size_t length, Record& out)
{
    RockRidgeFields given;
    std::string alternateName;
    bool hasName = false;
    uint8_t continuation[kBlock];
    for (int hops = 0;; ++hops) {
        uint32_t nextBlock = 0, nextOffset = 0, nextLength = 0;
        size_t position = 0;
        while (position + SystemUse::kHeader <= length) {
            const uint8_t* entry = area + position;
            const uint8_t entryLength = entry[SystemUse::kLength];
            if (entryLength < SystemUse::kHeader || position + entryLength > length) break;
            const auto is = [&](const char* signature) { return entry[0] == signature[0] && entry[1] == signature[1]; };
            if (is("ST")) break;
            if (is("NM") && entryLength >= SystemUse::kNmName) {
                if (!(entry[SystemUse::kNmFlags] & 0x06)) {
                    alternateName.append(reinterpret_cast<const char*>(entry + SystemUse::kNmName),
                                         entryLength - SystemUse::kNmName);
                    hasName = true;
                }
            } else if (is("TF") && entryLength >= SystemUse::kTfStamps) {
                const uint8_t flags = entry[SystemUse::kTfFlags];
                const size_t stampLength = (flags & 0x80) ? VolumeDescriptor::kTimeSize : 7;
                size_t stamp = SystemUse::kTfStamps + ((flags & 0x01) ? stampLength : 0); // skip the creation time
                if ((flags & 0x02) && stamp + stampLength <= entryLength) {
                    TrellisVolumeTime digits;
                    if (stampLength == 7) {
                        out.fileTime = DiscTime::FromIsoRecord(entry + stamp);
                        given.time = true;
                    } else if (DiscTime::VolumeTimeFromIsoDigits(entry + stamp, &digits)) {
                        out.fileTime = DiscTime::FromCalendar(digits.year, digits.month, digits.day, digits.hour,
                                                              digits.minute, digits.second,
                                                              int8_t(entry[stamp + 16]) * 15);
                        given.time = true;
                    }
                }
            } else if (is("CL") && entryLength >= SystemUse::kClSize) {
                // A deep directory relocated elsewhere: it belongs here.
                out.extent = Le32(entry + SystemUse::kClLocation);
                out.length = DirectoryLength(out.extent);
                out.flags |= DirRecord::kDirectory;
            } else if (is("RE")) {
                out.skip = true; // shown where its "CL" record stands
            } else if (is("CE") && entryLength >= SystemUse::kCeSize) {
                nextBlock = Le32(entry + SystemUse::kCeBlock);
                nextOffset = Le32(entry + SystemUse::kCeOffset);
                nextLength = Le32(entry + SystemUse::kCeLength);
            }
            position += entryLength;
        }
        if (!nextLength || hops >= kMaxContinuations || nextOffset >= kBlock || nextLength > kBlock - nextOffset ||
            !m_medium.ReadBlocks(nextBlock, 1, continuation))
            break;
        area = continuation + nextOffset;
        length = nextLength;
    }
    if (hasName && !alternateName.empty()) {
        out.name = TextDecode::FromUtf8OrLatin1(reinterpret_cast<const uint8_t*>(alternateName.data()),
                                                alternateName.size());
        given.name = true;
    }
    return given;
}

uint32_t Iso9660Reader::DirectoryLength(uint32_t extent)
{
    uint8_t block[kBlock];
    if (!m_medium.ReadBlocks(extent, 1, block) || block[DirRecord::kLength] < DirRecord::kMinimumSize) return 0;
    return Le32(block + DirRecord::kDataLength); // the "." record describes the directory itself
}

void Iso9660Reader::AddEntry(const DirectoryJob& job, Record& record, PendingEntry& pending, FileTree& tree)
{
    const bool folder = record.flags & DirRecord::kDirectory;
    if (pending.active && (folder || pending.node.name != record.name)) Flush(job, pending, tree);
    if (!folder) {
        if (!pending.active) {
            pending.active = true;
            pending.node = FileNode{};
            pending.node.name = std::move(record.name);
            pending.node.fileTime = record.fileTime;
            pending.node.attributes =
                TRELLIS_ATTRIBUTE_READONLY | ((record.flags & DirRecord::kHidden) ? TRELLIS_ATTRIBUTE_HIDDEN : 0);
            pending.dataMissing = 0;
            pending.extents.clear();
            pending.node.location = record.extent;
        }
        pending.node.size += record.length;
        pending.extents.emplace_back(record.extent, record.length);
        if (record.length) pending.dataMissing |= BeyondEnd(record.extent, record.length);
        if (!(record.flags & DirRecord::kMultiExtent)) Flush(job, pending, tree);
        return;
    }
    FileNode node;
    node.name = std::move(record.name);
    node.fileTime = record.fileTime;
    node.attributes = TRELLIS_ATTRIBUTE_DIRECTORY | TRELLIS_ATTRIBUTE_READONLY |
                      ((record.flags & DirRecord::kHidden) ? TRELLIS_ATTRIBUTE_HIDDEN : 0);
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
    const uint32_t index = tree.Add(job.node, std::move(pending.node));
    if (index == FileTree::kNone) return;
    if (pending.dataMissing) tree.MissFile(pending.dataMissing);
    if (pending.extents.size() > 1) m_multiExtents[index] = std::move(pending.extents);
}

HRESULT Iso9660Reader::ReadFileData(uint32_t index, const FileNode& node, uint64_t offset, uint8_t* buffer,
                                    uint32_t size, uint32_t* read)
{
    std::vector<std::pair<uint32_t, uint32_t>> extents{{uint32_t(node.location), uint32_t(node.size)}};
    if (const auto found = m_multiExtents.find(index); found != m_multiExtents.end()) extents = found->second;
    std::vector<DataRun> runs;
    for (const auto& extent : extents) runs.push_back({extent.second, true});
    return FileDataRuns::Read(runs, node.size, offset, buffer, size, read,
                              [&](size_t run, uint32_t block, uint8_t* data) {
                                  return m_medium.ReadBlocks(extents[run].first + block, 1, data);
                              });
}
