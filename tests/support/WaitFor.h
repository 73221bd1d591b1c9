#pragma once
// Waiting for a window to reach a state, with the event loop running, as a
// gtest assertion. (Qt's QTRY_ macros report to QtTest only: under gtest a
// timeout would end the test early and count it as passed.)
#include <QTest>

#define ZEL_SOON(expr, ms) QTest::qWaitFor([&] { return static_cast<bool>(expr); }, ms)
// The expression becomes true within ms milliseconds, or the test stops here.
#define ASSERT_SOON(expr, ms) ASSERT_TRUE(ZEL_SOON(expr, ms)) << "not within " << (ms) << " ms: " #expr " "
#define EXPECT_SOON(expr, ms) EXPECT_TRUE(ZEL_SOON(expr, ms)) << "not within " << (ms) << " ms: " #expr " "
