// The language component "Lingmere\Lingmere.dll" (Lingmere/libLingmere.so):
// knows the user-interface languages of the installation, which one the
// user's locale asks for, and where each language's resource module lies.
//
// The program reaches it through two C exports:
//
//   ILingmere* GetLingmere(resourceXml, referenceXml, startMenuXml, isSystemDefault, 1)
//       the paths of MUIResource.xml (languages and their resource modules),
//       MUIReference.xml (locale names -> language codes) and MUIStartMenu.xml
//       (start menu texts per language); isSystemDefault 1 starts in the
//       locale's language, 0 in English; the last argument is the interface
//       version and must be 1. Null when MUIResource.xml cannot be read.
//   HRESULT ReleaseLingmere(object)
//       releases the object; a negative result keeps it.
//
// Language codes are the three-letter codes of the installation ("Enu",
// "Deu", "Jpn", ...), matched ignoring case; the object reports them in
// capitals ("ENU"). Buffers hold 260 UTF-16 units including the terminating
// zero; a text that does not fit fails with HRESULT_FROM_WIN32(122).
#pragma once
#include "com.h"

// {C0D601FB-B4CE-45BE-8E88-143D49D6F0B2}
inline constexpr GUID IID_ILingmere = {0xC0D601FB, 0xB4CE, 0x45BE, {0x8E, 0x88, 0x14, 0x3D, 0x49, 0xD6, 0xF0, 0xB2}};

// Operations in table order, counted from 0: 0-2 IUnknown, then 3 to 7.
struct ILingmere : IUnknown {
    // 3: the installed language that the user's locale (LC_ALL, LC_MESSAGES,
    // LANG) asks for; English when the locale names none of them.
    virtual HRESULT GetSystemLanguage(char16_t* buffer) = 0;
    // 4: chooses the language; E_INVALIDARG when it is not installed.
    virtual HRESULT SetLanguage(const char16_t* code) = 0;
    // 5: full path of the chosen language's resource module ("...\FlwRC.dll"
    // form, with slashes); fails with HRESULT_FROM_WIN32(2) when its data
    // file is missing.
    virtual HRESULT GetResourcePath(char16_t* buffer) = 0;
    // 6: the chosen language's code.
    virtual HRESULT GetLanguage(char16_t* buffer) = 0;
    // 7: a start menu text ("Name", "Comment", ...) in the chosen language,
    // else in English; E_INVALIDARG for an unknown entry.
    virtual HRESULT GetStartMenuText(const char16_t* entry, char16_t* buffer) = 0;

protected:
    ~ILingmere() = default;
};

constexpr int kLingmereBufferSize = 260;
constexpr int kLingmereVersion = 1;

using GetLingmereFn = ILingmere* (*)(const char16_t* resourceXml, const char16_t* referenceXml,
                                     const char16_t* startMenuXml, BOOL isSystemDefault, int version);
using ReleaseLingmereFn = HRESULT (*)(ILingmere* object);
