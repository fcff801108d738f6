#include "com.h"

#include <gtest/gtest.h>

TEST(Guid, ParsesAndPrintsRegistryForm)
{
    const auto guid = GuidFromString("{be3ca8ce-70ba-4888-8e43-8512fe15919d}");
    ASSERT_TRUE(guid);
    EXPECT_EQ(guid->Data1, 0xBE3CA8CEu);
    EXPECT_EQ(guid->Data2, 0x70BA);
    EXPECT_EQ(guid->Data4[0], 0x8E);
    EXPECT_EQ(guid->Data4[7], 0x9D);
    EXPECT_EQ(GuidToString(*guid), "{BE3CA8CE-70BA-4888-8E43-8512FE15919D}");
    EXPECT_EQ(GuidFromString("BE3CA8CE-70BA-4888-8E43-8512FE15919D"), guid);
}

TEST(Guid, RefusesMalformedText)
{
    for (const char* bad : {"", "{BE3CA8CE-70BA-4888-8E43-8512FE15919D", "{BE3CA8CE_70BA-4888-8E43-8512FE15919D}",
                            "{BE3CA8CE-70BA-4888-8E43-8512FE15919G}", "BE3CA8CE70BA48888E438512FE15919D"})
        EXPECT_FALSE(GuidFromString(bad)) << bad;
}
