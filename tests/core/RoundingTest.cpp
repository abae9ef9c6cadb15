// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using kx::core::roundAddHalf;
using kx::core::roundHalfAway;

TEST(Rounding, TheTwoRulesDifferOnlyBelowZero) {
    struct Case {
        double x;
        std::int64_t halfAway;
        std::int64_t addHalf;
    };
    const Case cases[] = {
        {2.5, 3, 3},   {2.49, 2, 2},  {-2.5, -3, -2}, {-2.6, -3, -2},
        {-2.4, -2, -1}, {0.0, 0, 0},  {-0.5, -1, 0},  {1e6 + 0.5, 1000001, 1000001},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(roundHalfAway(c.x), c.halfAway) << c.x;
        EXPECT_EQ(roundAddHalf(c.x), c.addHalf) << c.x;
    }
}

TEST(Rounding, NanGivesZeroAndHugeValuesSaturate) {
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(roundHalfAway(nan), 0);
    EXPECT_EQ(roundAddHalf<std::int32_t>(nan), 0);
    EXPECT_EQ(roundHalfAway(inf), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(roundHalfAway(-inf), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(roundHalfAway<std::int32_t>(3e9), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(roundAddHalf<std::int32_t>(-3e9), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(roundHalfAway<std::int32_t>(2147483646.6), 2147483647);
    EXPECT_EQ(roundHalfAway(9.3e18), std::numeric_limits<std::int64_t>::max());
}
