#include "TestEnvironment.h"

#include "Diagnostics.h"
#include "RegistryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QUuid>
#include <memory>

namespace {
std::unique_ptr<QTemporaryDir> g_root;

QTemporaryDir& RootDir()
{
    if (!g_root) {
        g_root = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/albireo-test-XXXXXX"));
        g_root->setAutoRemove(qEnvironmentVariableIsEmpty("ALBIREO_KEEP_TEST_FILES"));
    }
    return *g_root;
}
} // namespace

namespace TestEnvironment {

QString Root() { return RootDir().path(); }

QString MakeFolder(const QString& name)
{
    const QString path = Root() + QLatin1Char('/') + name + QLatin1Char('-') +
                         QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
    QDir().mkpath(path);
    return path;
}

void ResetRegistry()
{
    // Always the same files, emptied: a component loaded into the test
    // keeps its own copy of the registry's roots from the first time it
    // looked, and has to see the new settings under the same names.
    const QString folder = Root() + QStringLiteral("/registry");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    qputenv("ALBIREO_REGISTRY_USER", (folder + QStringLiteral("/user.reg")).toLocal8Bit());
    qputenv("ALBIREO_REGISTRY_MACHINE", (folder + QStringLiteral("/machine.reg")).toLocal8Bit());
    RegistryStore::ResetRoots();
    ResetDumpMsgSetting();
}

QString ProgramFolder() { return qEnvironmentVariable("ALBIREO_PROGRAM_DIR"); }

QString TestBinary(const QString& name) { return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name; }

} // namespace TestEnvironment
