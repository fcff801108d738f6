// IntReg: a signed 32-bit setting stored as 4 bytes of REG_BINARY.
#pragma once
#include "ScalarReg.h"

#include <cstdint>

class IntReg : public ScalarReg<int32_t, REG_BINARY> {
public:
    IntReg() : ScalarReg<int32_t, REG_BINARY>(0) {}
    IntReg(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, BOOL autoSync = FALSE)
        : ScalarReg<int32_t, REG_BINARY>(root, keyPath, valueName, autoSync, 0)
    {
    }
    IntReg& operator=(int32_t value)
    {
        Set(value);
        return *this;
    }
};
