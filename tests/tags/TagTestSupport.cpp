#include "TagTestSupport.h"

#include "CategoryTags.h"
#include "StringResources.h"
#include "TagRecords.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

LanguageScope::LanguageScope(const QString& code)
{
    auto module = ResourceModule::Load(QStringLiteral("Language\\%1\\FlwRC.dll").arg(code));
    EXPECT_TRUE(module) << "no string table for " << code.toStdString();
    SetResourceHandle(module);
}

LanguageScope::~LanguageScope() { SetResourceHandle(nullptr); }

FreshLibrary::FreshLibrary()
{
    const QString path = TestEnvironment::MakeFolder(QStringLiteral("library")) + QStringLiteral("/library.db");
    qputenv("ALBIREO_LIBRARY_DB", path.toLocal8Bit());
    EXPECT_EQ(S_OK, m_loader.CreateLibraryEngine(&m_engine));
    if (m_engine) EXPECT_EQ(S_OK, m_engine->Initialize(0, 1, 0));
}

FreshLibrary::~FreshLibrary()
{
    if (!m_engine) return;
    m_engine->Uninitialize();
    m_engine->Release();
}

void FreshLibrary::AddTags(const QStringList& userTags)
{
    for (const QString& name : CategoryTags::Keys() + userTags) EXPECT_EQ(S_OK, m_engine->AddTag(W(name), nullptr));
}

QStringList FreshLibrary::TagNames() const
{
    std::vector<TagRecord> records;
    EXPECT_EQ(S_OK, TagRecords::Read(m_engine, &records));
    QStringList names;
    for (const TagRecord& record : records) names << TagRecords::Name(record);
    return names;
}

int FreshLibrary::TagId(const QString& name) const
{
    LONG id = 0, visible = 0;
    EXPECT_EQ(S_OK, m_engine->FindTag(&id, &visible, W(name)));
    return id;
}

bool FreshLibrary::IsVisible(const QString& name) const
{
    LONG id = 0, visible = 0;
    EXPECT_EQ(S_OK, m_engine->FindTag(&id, &visible, W(name)));
    return id > 0 && visible;
}
