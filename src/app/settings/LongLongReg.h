// LongLongReg: a signed 64-bit setting stored as 8 bytes of REG_BINARY.
#pragma once
#include "ScalarReg.h"

#include <cstdint>

class LongLongReg : public ScalarReg<int64_t, REG_BINARY> {
public:
    LongLongReg() : ScalarReg<int64_t, REG_BINARY>(0) {}
    LongLongReg(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, BOOL autoSync = FALSE)
        : ScalarReg<int64_t, REG_BINARY>(root, keyPath, valueName, autoSync, 0)
    {
    }
    LongLongReg& operator=(int64_t value)
    {
        Set(value);
        return *this;
    }
};
