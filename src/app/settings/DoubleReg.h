// DoubleReg: an IEEE double setting stored as 8 bytes of REG_BINARY.
#pragma once
#include "ScalarReg.h"

#include <cstdint>

class DoubleReg : public ScalarReg<double, REG_BINARY> {
public:
    DoubleReg() : ScalarReg<double, REG_BINARY>(0.0) {}
    DoubleReg(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, BOOL autoSync = FALSE)
        : ScalarReg<double, REG_BINARY>(root, keyPath, valueName, autoSync, 0.0)
    {
    }
    DoubleReg& operator=(double value)
    {
        Set(value);
        return *this;
    }
};
