// The registry calls shared by the settings value classes: reading with the
// per-user-then-machine fallback, writing, and the fixed-size text fields.
#pragma once
#include "Registry.h"

#include <QString>

namespace RegAccess {

constexpr int kKeyPathLength = 512;
constexpr int kValueNameLength = 260;

// Copies a zero-terminated text into a fixed field; null leaves it empty.
void CopyText(WCHAR* field, int capacity, const WCHAR* text);
// Opens root\keyPath with query access and queries the value into
// buffer/size; then the same under HKEY_LOCAL_MACHINE. The stored type is
// not checked; data larger than `size` fails. *size gets the bytes read.
bool QueryWithFallback(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, void* buffer, DWORD* size);
// Creates or opens root\keyPath with write access and sets the value.
bool SetValue(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, DWORD type, const void* data, DWORD size);
// Opens root\keyPath with full access and deletes the value.
bool DeleteValue(HKEY root, const WCHAR* keyPath, const WCHAR* valueName);

} // namespace RegAccess
