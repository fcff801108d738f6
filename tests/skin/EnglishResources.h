// Skin tests read the texts of the English resource module, as the program
// does after start-up.
#pragma once
#include "StringResources.h"

#include <gtest/gtest.h>

class EnglishResources : public ::testing::Environment {
public:
    void SetUp() override
    {
        SetResourceHandle(ResourceModule::Load(QStringLiteral("Language\\Enu\\FlwRC.dll")));
        ASSERT_NE(GetResourceHandle(), nullptr) << "the English resource module is built";
    }
    void TearDown() override { SetResourceHandle(nullptr); }
};
