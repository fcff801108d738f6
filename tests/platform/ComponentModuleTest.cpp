// Loading a component library by its Windows name and creating objects.
#include "ComponentModule.h"
#include "TestComponent.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

QString TestComponentPath() { return QCoreApplication::applicationDirPath() + "\\AlbTestComponent.dll"; }

TEST(ModuleLoader, MapsWindowsNamesOntoSharedObjects)
{
    EXPECT_EQ(ModuleLoader::SharedObjectPath("Trellis.dll"), "libTrellis.so");
    EXPECT_EQ(ModuleLoader::SharedObjectPath("C:\\x\\Lingmere\\Lingmere.DLL"), "C:/x/Lingmere/libLingmere.so");
    EXPECT_EQ(ModuleLoader::SharedObjectPath("/opt/a/Stackvault.dll"), "/opt/a/libStackvault.so");
}

TEST(ComponentModule, CreatesObjectsAndUnloadsOnlyWhenAllowed)
{
    ComponentModule module;
    ASSERT_EQ(module.Load(TestComponentPath()), S_OK);
    IAnswer* answer = nullptr;
    ASSERT_EQ(module.CreateInstance(kAnswerClassId, IID_IAnswer, reinterpret_cast<void**>(&answer)), S_OK);
    EXPECT_EQ(answer->Answer(), 42);
    EXPECT_FALSE(module.Unload()); // an object is alive
    EXPECT_TRUE(module.IsLoaded());
    answer->Release();
    EXPECT_TRUE(module.Unload());
    EXPECT_FALSE(module.IsLoaded());
}

TEST(ComponentModule, ReportsMissingFilesClassesAndExports)
{
    ComponentModule module;
    EXPECT_TRUE(FAILED(module.Load("/nonexistent\\Nothing.dll")));
    ASSERT_EQ(module.Load(TestComponentPath()), S_OK);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.CreateInstance(IID_IAnswer, IID_IAnswer, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(module.CreateInstance(kAnswerClassId, IID_IClassFactory, &object), E_NOINTERFACE);

    // A library without the exports counts as absent.
    ComponentModule plain;
    EXPECT_EQ(plain.Load(QCoreApplication::applicationDirPath() + "\\AlbNoExports.dll"), E_FAIL);
    EXPECT_FALSE(plain.IsLoaded());
}

} // namespace
