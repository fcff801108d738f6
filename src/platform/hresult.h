// HRESULT-style result codes with their Windows values; negative means failure.
#pragma once
#include <cstdint>

using HRESULT = int32_t;

constexpr HRESULT MakeHresult(uint32_t code) { return static_cast<HRESULT>(code); }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = MakeHresult(0x80004001u);
constexpr HRESULT E_NOINTERFACE = MakeHresult(0x80004002u);
constexpr HRESULT E_POINTER = MakeHresult(0x80004003u);
constexpr HRESULT E_ABORT = MakeHresult(0x80004004u);
constexpr HRESULT E_FAIL = MakeHresult(0x80004005u);
constexpr HRESULT E_UNEXPECTED = MakeHresult(0x8000FFFFu);
constexpr HRESULT E_ACCESSDENIED = MakeHresult(0x80070005u);
constexpr HRESULT E_OUTOFMEMORY = MakeHresult(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = MakeHresult(0x80070057u);
constexpr HRESULT CLASS_E_NOAGGREGATION = MakeHresult(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeHresult(0x80040111u);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// HRESULT_FROM_WIN32: facility 7 carries a Win32 error number.
constexpr HRESULT HresultFromWin32(uint32_t error)
{
    return error == 0 ? S_OK : MakeHresult((error & 0xFFFFu) | 0x80070000u);
}

// Maps a POSIX errno onto the Win32 error the same failure has on Windows,
// wrapped as an HRESULT, so callers compare against familiar codes.
HRESULT HresultFromErrno(int error);
