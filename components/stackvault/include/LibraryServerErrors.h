// Failures of a library kept on a database server (the library's place is
// a "postgresql://" address), which the program words for the user. A
// change refused because the user's role may only read fails with
// E_ACCESSDENIED (and ILibraryEngineStatus::GetWriteFailure says so).
#pragma once
#include "hresult.h"

// The server cannot be reached: it is down, or the address is wrong.
inline constexpr HRESULT LIBRARY_E_SERVER_UNREACHABLE = static_cast<HRESULT>(0x80040A03);
// The server refused the login (unknown user, wrong or missing password).
inline constexpr HRESULT LIBRARY_E_LOGIN_REFUSED = static_cast<HRESULT>(0x80040A04);
// The server has no database of that name.
inline constexpr HRESULT LIBRARY_E_NO_DATABASE = static_cast<HRESULT>(0x80040A05);
// The library was written by a newer program, whose schema this one does not know.
inline constexpr HRESULT LIBRARY_E_SCHEMA_NEWER = static_cast<HRESULT>(0x80040A02);
