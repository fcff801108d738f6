// DwordReg: an unsigned 32-bit setting stored as REG_DWORD.
#pragma once
#include "ScalarReg.h"

#include <cstdint>

class DwordReg : public ScalarReg<DWORD, REG_DWORD> {
public:
    DwordReg() : ScalarReg<DWORD, REG_DWORD>(0) {}
    DwordReg(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, BOOL autoSync = FALSE)
        : ScalarReg<DWORD, REG_DWORD>(root, keyPath, valueName, autoSync, 0)
    {
    }
    DwordReg& operator=(DWORD value)
    {
        Set(value);
        return *this;
    }
};
