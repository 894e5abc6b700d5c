#pragma once

#include <gtest/gtest.h>

#include <QTest>

#include "helpers/wait_limit.h"

// Waits, running the event loop, until a condition holds or the wait limit runs out, then checks it
// as GoogleTest checks anything. (QtTest's QTRY_ macros report a failure to QtTest alone: under
// GoogleTest they end the test early and it still passes.)
#define EXPECT_EVENTUALLY(condition)                                                                   \
    EXPECT_TRUE(QTest::qWaitFor([&] { return bool(condition); }, kWaitLimitMs)) << "never: " #condition
#define ASSERT_EVENTUALLY(condition)                                                                   \
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(condition); }, kWaitLimitMs)) << "never: " #condition
#define EXPECT_EVENTUALLY_EQ(actual, expected)                                                         \
    do {                                                                                               \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, kWaitLimitMs);                 \
        EXPECT_EQ(actual, expected);                                                                   \
    } while (false)
