#include "NameBlockFormat.h"

namespace NameBlockFormat {
namespace {

void AppendNumber(std::string& block, uint64_t value)
{
    for (; value >= 0x80; value >>= 7) block.push_back(char((value & 0x7f) | 0x80));
    block.push_back(char(value));
}

uint64_t Zigzag(int64_t value) { return (uint64_t(value) << 1) ^ uint64_t(value >> 63); }

int64_t Unzigzag(uint64_t value) { return int64_t(value >> 1) ^ -int64_t(value & 1); }

// The longest LEB128 of 64 bits.
constexpr int kMostNumberBytes = 10;

} // namespace

void Append(std::string& block, const Entry& previous, int64_t id, int64_t pathId, std::string_view name)
{
    AppendNumber(block, uint64_t(id - previous.id));
    // Wrapping steps: the reader adds them back the same way.
    AppendNumber(block, Zigzag(int64_t(uint64_t(pathId) - uint64_t(previous.pathId))));
    AppendNumber(block, name.size());
    block.append(name);
}

bool Reader::ReadNumber(uint64_t* value)
{
    *value = 0;
    for (int shift = 0, read = 0; read < kMostNumberBytes && m_at < m_block.size(); shift += 7, ++read) {
        const auto byte = uint8_t(m_block[m_at++]);
        *value |= uint64_t(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

bool Reader::Fail()
{
    m_damaged = true;
    return false;
}

bool Reader::Next(Entry& entry)
{
    if (m_damaged || m_at == m_block.size()) return false;
    uint64_t idStep = 0, pathStep = 0, nameBytes = 0;
    if (!ReadNumber(&idStep) || !ReadNumber(&pathStep) || !ReadNumber(&nameBytes)) return Fail();
    // Ids only grow (a step of 0 only at the first entry) and stay within 64 bits.
    if ((idStep == 0) != m_first || idStep > uint64_t(INT64_MAX - m_entry.id)) return Fail();
    if (nameBytes > m_block.size() - m_at) return Fail();
    m_first = false;
    m_entry.id += int64_t(idStep);
    m_entry.pathId = int64_t(uint64_t(m_entry.pathId) + uint64_t(Unzigzag(pathStep)));
    m_entry.name = m_block.substr(m_at, size_t(nameBytes));
    m_at += size_t(nameBytes);
    entry = m_entry;
    return true;
}

} // namespace NameBlockFormat
