// DwordReg2: an unsigned 32-bit REG_DWORD setting whose unread value is 0xFFFFFFFF, so that "never stored" can be told apart from 0.
#pragma once
#include "ScalarReg.h"

#include <cstdint>

class DwordReg2 : public ScalarReg<DWORD, REG_DWORD> {
public:
    DwordReg2() : ScalarReg<DWORD, REG_DWORD>(0xFFFFFFFFu) {}
    DwordReg2(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, BOOL autoSync = FALSE)
        : ScalarReg<DWORD, REG_DWORD>(root, keyPath, valueName, autoSync, 0xFFFFFFFFu)
    {
    }
    DwordReg2& operator=(DWORD value)
    {
        Set(value);
        return *this;
    }
};
