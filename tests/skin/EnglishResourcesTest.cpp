#include "EnglishResources.h"

// Installed before any test of the program runs.
static ::testing::Environment* const kEnglish = ::testing::AddGlobalTestEnvironment(new EnglishResources);

TEST(EnglishResources, TheSkinsTextsAreThere)
{
    for (UINT id : {100u, 8016u, 6084u, 11320u, 11323u, 910u, 902u, 903u, 11268u, 61186u})
        EXPECT_FALSE(LoadString(id).isEmpty()) << id;
}
