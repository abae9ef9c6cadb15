// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SinxInterpolator.h"
#include "core/FrameRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using kx::core::kNoSample;
using kx::core::sinxInterpolate;

TEST(SinxKernel, SumsToUnityGainAtEveryPhase) {
    // Interpolating a constant must give the constant back (within rounding of the table).
    for (int r = 0; r < 10; ++r) {
        int sum = 0;
        for (int j = 0; j < 18; ++j) {
            int d = std::abs(80 - 10 * j + r);
            if (d < 80) sum += kx::core::kSinxKernel[d];
        }
        EXPECT_NEAR(sum, 6554, 40) << "phase " << r;
    }
}

TEST(SinxInterpolate, EmptyOutsideAndAtTheLastSample) {
    std::vector<std::int32_t> a(20, 0x8000);
    EXPECT_FALSE(sinxInterpolate(a, 20, -1, 3));
    EXPECT_FALSE(sinxInterpolate(a, 20, 20, 0));
    EXPECT_FALSE(sinxInterpolate(a, 20, 19, 1));
    EXPECT_EQ(sinxInterpolate(a, 20, 19, 0), 0x8000);
    a[5] = kNoSample;
    EXPECT_FALSE(sinxInterpolate(a, 20, 5, 0));
}

TEST(SinxInterpolate, FollowsASampledSineIncludingBothEdges) {
    // A slow sine sampled 16 times per period; the interpolated points lie on it, and the
    // quadratic extrapolation keeps the edges close too.
    const int n = 64;
    std::vector<std::int32_t> a(n);
    auto f = [](double t) { return 0x8000 + 12000 * std::sin(2 * M_PI * t / 16.0); };
    for (int i = 0; i < n; ++i) a[i] = static_cast<std::int32_t>(std::lround(f(i)));
    for (int k : {0, 1, 5, 30, 55, 61, 62}) {
        for (int r = 1; r < 10; ++r) {
            auto v = sinxInterpolate(a, n, k, r);
            ASSERT_TRUE(v) << k << "." << r;
            double tolerance = (k >= 8 && k < n - 9) ? 150 : 1200;
            EXPECT_NEAR(*v, f(k + r / 10.0), tolerance) << k << "." << r;
        }
    }
}

TEST(SinxInterpolate, ExtremeValuesDoNotOverflow) {
    std::vector<std::int32_t> a(30, 0);
    for (int i = 0; i < 30; i += 2) a[i] = 65535;
    auto v = sinxInterpolate(a, 30, 15, 5);
    ASSERT_TRUE(v);
    EXPECT_GT(*v, -70000);
    EXPECT_LT(*v, 140000);
}
