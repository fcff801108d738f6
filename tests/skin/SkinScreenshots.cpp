#include <gtest/gtest.h>
TEST(SkinScreenshots, Placeholder) {}
