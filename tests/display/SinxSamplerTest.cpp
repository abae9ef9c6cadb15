// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/SinxSampler.h"
#include "core/FrameRecord.h"
#include "core/SinxInterpolator.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using kx::core::kNoSample;
using kx::display::SinxSampler;

namespace {

struct SamplerCase {
    const char* name;
    int n;
    std::vector<int> empty; // positions without a sample
};

class SinxSamplerTest : public ::testing::TestWithParam<SamplerCase> {};

// The shortcut must give the shared interpolator's value everywhere, also next to gaps
// and at both ends, where it has to fall back.
TEST_P(SinxSamplerTest, SameValuesAsTheSharedInterpolator) {
    const auto& c = GetParam();
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> code(0, 65535);
    std::vector<std::int32_t> s(static_cast<std::size_t>(c.n) + 5);
    for (auto& v : s) v = code(rng);
    for (int k : c.empty) s[static_cast<std::size_t>(k)] = kNoSample;
    SinxSampler sampler;
    for (int k = -2; k < c.n + 2; ++k)
        for (int r = 0; r < 10; ++r)
            ASSERT_EQ(sampler.at(s, c.n, k, r), kx::core::sinxInterpolate(s, c.n, k, r)) << k << " " << r;
}

INSTANTIATE_TEST_SUITE_P(Arrays, SinxSamplerTest,
                         ::testing::Values(SamplerCase{"short", 12, {}}, SamplerCase{"long", 200, {}},
                                           SamplerCase{"gaps", 200, {0, 40, 41, 120, 199}},
                                           SamplerCase{"mostly_empty", 60, {10, 12, 14, 16, 18, 20, 22}}));

TEST(SinxSamplerReset, ChangedSamplesAreCheckedAgain) {
    std::vector<std::int32_t> s(100, 30000);
    SinxSampler sampler;
    EXPECT_EQ(sampler.at(s, 100, 50, 5), kx::core::sinxInterpolate(s, 100, 50, 5));
    s[52] = kNoSample;
    sampler.reset();
    EXPECT_EQ(sampler.at(s, 100, 50, 5), kx::core::sinxInterpolate(s, 100, 50, 5));
    EXPECT_NE(sampler.at(s, 100, 50, 5), std::optional<std::int32_t>(30000));
}

} // namespace
