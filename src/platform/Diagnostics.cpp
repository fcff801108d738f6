#include "Diagnostics.h"

#include "Registry.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<int> g_dumpMsg{-1}; // -1: not read yet

void VFormat(char (&buffer)[520], const char* component, const char* format, va_list args)
{
    int prefix = std::snprintf(buffer, sizeof buffer, "[%s] ", component ? component : "");
    if (prefix < 0) prefix = 0;
    if (prefix < static_cast<int>(sizeof buffer))
        std::vsnprintf(buffer + prefix, sizeof buffer - static_cast<size_t>(prefix), format, args);
}

void Write(const char* component, const char* format, va_list args)
{
    char buffer[520];
    VFormat(buffer, component, format, args);
    std::fprintf(stderr, "%s\n", buffer);
}

bool ReadSetting()
{
    if (const char* env = std::getenv("ALBIREO_DUMPMSG"); env && *env) return std::strcmp(env, "0") != 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Quorvel\\Flintwell13", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    BYTE data[8] = {};
    DWORD size = sizeof data;
    const bool read = RegQueryValueExW(key, u"DumpMsg", nullptr, nullptr, data, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!read) return false;
    for (DWORD i = 0; i < size; ++i)
        if (data[i]) return true;
    return false;
}

} // namespace

bool IsDumpMsgEnabled()
{
    int state = g_dumpMsg.load();
    if (state < 0) {
        g_dumpMsg.store(0); // a damaged store reports while being read: no recursion
        state = ReadSetting() ? 1 : 0;
        g_dumpMsg.store(state);
    }
    return state == 1;
}

void ResetDumpMsgSetting() { g_dumpMsg.store(-1); }

void DumpMsg(const char* component, const char* format, ...)
{
    if (!IsDumpMsgEnabled()) return;
    va_list args;
    va_start(args, format);
    Write(component, format, args);
    va_end(args);
}

void DiagWriteAlways(const char* component, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    Write(component, format, args);
    va_end(args);
}

void FormatDiagLine(char (&buffer)[520], const char* component, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    VFormat(buffer, component, format, args);
    va_end(args);
}
