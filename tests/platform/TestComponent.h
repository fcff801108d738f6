// The interface and ids of the test component (TestComponent.cpp) and its
// loader test: both sides name the same type, as a component and the
// program share an interface header.
#pragma once
#include "com.h"

struct IAnswer : IUnknown {
    virtual int Answer() = 0;
};

inline constexpr GUID kAnswerClassId = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
inline constexpr GUID IID_IAnswer = {0x66666666, 0x7777, 0x8888, {0x99, 0x99, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}};
