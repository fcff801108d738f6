// Handles events until a condition holds or a generous time-out passes.
#pragma once
#include <QElapsedTimer>
#include <QTest>

template <class Condition>
bool WaitFor(Condition done, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) QTest::qWait(5);
    return done();
}
