// The packed form of a block of file names: what is appended reads back
// exactly, at the limits of its numbers; a damaged block (cut short, a
// step that goes back, a length past its end) is told as damaged, never
// read beyond its bytes.
#include "NameBlockFormat.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

struct File {
    int64_t id;
    int64_t pathId;
    std::string name;
};

std::string Pack(int64_t firstId, const std::vector<File>& files)
{
    std::string block;
    NameBlockFormat::Entry previous{firstId, 0, {}};
    for (const File& file : files) {
        NameBlockFormat::Append(block, previous, file.id, file.pathId, file.name);
        previous = {file.id, file.pathId, {}};
    }
    return block;
}

// Every entry until the end or damage; *damaged tells which.
std::vector<File> Unpack(int64_t firstId, std::string_view block, bool* damaged)
{
    std::vector<File> files;
    NameBlockFormat::Reader reader(firstId, block);
    NameBlockFormat::Entry entry;
    while (reader.Next(entry)) files.push_back({entry.id, entry.pathId, std::string(entry.name)});
    *damaged = reader.Damaged();
    return files;
}

bool operator==(const File& a, const File& b) { return a.id == b.id && a.pathId == b.pathId && a.name == b.name; }

constexpr int64_t kMost = std::numeric_limits<int64_t>::max();

const std::vector<File>& Files()
{
    // Path ids that go down and up by the most, an empty name, a name of 255
    // bytes, bytes that are not text, ids far apart and at the top.
    static const std::vector<File> files = {
        {7, 1 << 20, "a.txt"}, {8, 0, ""}, {9, kMost, std::string(255, 'x')}, {1000000, 3, std::string("\0\xff\n", 3)},
        {kMost - 1, -5, "\xC3\xA9t\xC3\xA9"}, {kMost, kMost, "last"}};
    return files;
}

} // namespace

TEST(NameBlockFormatTest, EntriesReadBackExactlyAtTheLimitsOfTheirNumbers)
{
    const std::string block = Pack(7, Files());
    bool damaged = true;
    EXPECT_EQ(Files(), Unpack(7, block, &damaged));
    EXPECT_FALSE(damaged);
    EXPECT_TRUE(Unpack(7, {}, &damaged).empty());
    EXPECT_FALSE(damaged);
}

TEST(NameBlockFormatTest, ABlockCutShortOrWithStepsThatGoBackIsDamaged)
{
    const std::string block = Pack(7, Files());
    // Cut anywhere but between entries: what comes before reads back, then damage.
    size_t whole = 0;
    for (size_t length = 1; length < block.size(); ++length) {
        bool damaged = false;
        const std::vector<File> read = Unpack(7, std::string_view(block).substr(0, length), &damaged);
        ASSERT_LE(read.size(), Files().size());
        EXPECT_TRUE(std::equal(read.begin(), read.end(), Files().begin()));
        whole += damaged ? 0 : 1;
    }
    EXPECT_EQ(Files().size() - 1, whole); // the cuts between two entries

    bool damaged = false;
    // The first entry must start at the block's first id, each later one after the one before.
    EXPECT_TRUE(Unpack(7, Pack(7, {{8, 1, "a"}}), &damaged).empty());
    EXPECT_TRUE(damaged);
    const std::string repeated = Pack(7, {{7, 1, "a"}}) + std::string("\x00\x00\x01" "b", 4);
    EXPECT_EQ(1u, Unpack(7, repeated, &damaged).size());
    EXPECT_TRUE(damaged);
    // A name longer than what is left, an id past the largest, a number of eleven bytes, a negative first id.
    EXPECT_TRUE(Unpack(7, std::string("\x00\x00\x05" "ab", 5), &damaged).empty() && damaged);
    EXPECT_TRUE(Unpack(kMost, Pack(kMost, {{kMost, 0, "a"}}) + std::string("\x01\x00\x00", 3), &damaged).size() == 1 &&
                damaged);
    EXPECT_TRUE(Unpack(7, std::string(10, '\x80') + std::string("\x01\x00\x00", 3), &damaged).empty() && damaged);
    EXPECT_TRUE(Unpack(-1, Pack(-1, {{-1, 0, "a"}}), &damaged).empty() && damaged);
}
