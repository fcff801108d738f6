#include "ModuleLoader.h"

#include "ProgramPaths.h"

#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>

namespace {
thread_local QString t_lastError;
thread_local HRESULT t_lastResult = S_OK;

HMODULE Open(const QString& path)
{
    HMODULE module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* error = dlerror();
        t_lastError = QString::fromLocal8Bit(error ? error : "unknown error");
    }
    return module;
}
} // namespace

namespace ModuleLoader {

QString SharedObjectPath(const QString& modulePath)
{
    const QString path = ProgramPaths::ToNativeSeparators(modulePath);
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash + 1);
    QString name = path.mid(slash + 1);
    if (name.endsWith(QStringLiteral(".dll"), Qt::CaseInsensitive))
        name = QStringLiteral("lib") + name.chopped(4) + QStringLiteral(".so");
    return folder + name;
}

HMODULE LoadLibrary(const QString& modulePath)
{
    const QString soPath = SharedObjectPath(modulePath);
    HMODULE module = nullptr;
    if (soPath.contains(QLatin1Char('/'))) {
        if (!QFileInfo::exists(soPath)) {
            t_lastError = soPath + QStringLiteral(": no such file");
            t_lastResult = HresultFromWin32(126); // ERROR_MOD_NOT_FOUND
            return nullptr;
        }
        module = Open(soPath);
    } else {
        const QString beside = ProgramPaths::ProgramFolder() + QLatin1Char('/') + soPath;
        module = QFileInfo::exists(beside) ? Open(beside) : Open(soPath);
    }
    t_lastResult = module ? S_OK : HresultFromWin32(126);
    return module;
}

QString FolderOf(const void* address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname || !*info.dli_fname) return ProgramPaths::ProgramFolder();
    return QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath();
}

void* GetProcAddress(HMODULE module, const char* name)
{
    return module ? dlsym(module, name) : nullptr;
}

void FreeLibrary(HMODULE module)
{
    if (module) dlclose(module);
}

QString LastError() { return t_lastError; }
HRESULT LastResult() { return t_lastResult; }

} // namespace ModuleLoader
