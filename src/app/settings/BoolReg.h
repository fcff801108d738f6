// BoolReg: true/false kept as a 32-bit integer, 4 bytes of REG_BINARY; with auto-sync every get re-reads the registry.
#pragma once
#include "ScalarReg.h"

#include <cstdint>

class BoolReg : public ScalarReg<int32_t, REG_BINARY> {
public:
    BoolReg() : ScalarReg<int32_t, REG_BINARY>(0) {}
    BoolReg(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, BOOL autoSync = FALSE)
        : ScalarReg<int32_t, REG_BINARY>(root, keyPath, valueName, autoSync, 0)
    {
    }
    BoolReg& operator=(int32_t value)
    {
        Set(value);
        return *this;
    }
    // With auto-sync the registry is read first, so a change made by another
    // program shows at the next get.
    int32_t Get()
    {
        if (m_bAutoSync) Read();
        return m_value;
    }
    operator int32_t() { return Get(); }
};
