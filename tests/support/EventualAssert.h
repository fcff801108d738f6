// Waits, processing events, until a condition holds; fails the test when it
// does not within the time (QTest's QTRY_ macros only return quietly
// outside a QTest run, which let a test pass that never got there).
#pragma once
#include <QTest>
#include <gtest/gtest.h>

#define ASSERT_EVENTUALLY_WITHIN(condition, milliseconds)                                                           \
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(condition); }, milliseconds)) << "never came true: " #condition

#define ASSERT_EVENTUALLY(condition) ASSERT_EVENTUALLY_WITHIN(condition, 5000)
