// The key handling shared by the two array settings: enumerate a key's
// values into a buffer, and re-create a key with values "0", "1", ...
#pragma once
#include "RegAccess.h"

#include <functional>

namespace ArrayKey {

// Opens root\keyPath; for each value in enumeration order reads at most
// `bufferSize` bytes into `buffer` and calls `append` with the size read.
// Stops at the first enumeration failure. False when the key cannot be opened.
bool Enumerate(HKEY root, const WCHAR* keyPath, BYTE* buffer, DWORD bufferSize, const std::function<void(DWORD)>& append);
// Deletes root\keyPath, creates it again and writes `count` values named
// by their index, each `size` bytes of `type` from `dataAt(index)`.
BOOL Rewrite(HKEY root, const WCHAR* keyPath, int count, DWORD type, DWORD size,
             const std::function<const BYTE*(int)>& dataAt);

} // namespace ArrayKey
