// SPDX-License-Identifier: GPL-3.0-or-later
#include "UartText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kx::sim {
namespace {

constexpr double kHigh = 3.3;

// Line levels (1 high, 0 low) at the middle of each bit time over `bits` bits.
std::vector<int> levels(const UartText& u, std::int64_t bits) {
    std::vector<int> out;
    const double bitPs = static_cast<double>(kPsPerSecond) / static_cast<double>(u.format().baud);
    for (std::int64_t b = 0; b < bits; ++b)
        out.push_back(u.volts(static_cast<Picoseconds>((static_cast<double>(b) + 0.5) * bitPs)) > 1.0 ? 1
                                                                                                      : 0);
    return out;
}

// Start, data LSB first, stop: the default bench's line as it has always been.
std::vector<int> classic8N1(const std::string& text, int idle) {
    std::vector<int> out;
    for (unsigned char c : text) {
        out.push_back(0);
        for (int k = 0; k < 8; ++k) out.push_back((c >> k) & 1);
        out.push_back(1);
    }
    out.insert(out.end(), static_cast<std::size_t>(idle), 1);
    return out;
}

TEST(UartText, DefaultBenchLineIsThePlain8N1Text) {
    const std::string text = "Hello from KX48zz\r\n";
    const UartText u(text, UartFormat{}, kHigh);
    const auto expected = classic8N1(text, 20);
    EXPECT_EQ(levels(u, static_cast<std::int64_t>(expected.size())), expected);
    EXPECT_DOUBLE_EQ(u.periodPs(), static_cast<double>(expected.size()) * 1e12 / 9600.0);
    // The loop repeats.
    const double loop = u.periodPs();
    EXPECT_EQ(u.volts(static_cast<Picoseconds>(loop + 0.5e12 / 9600)), 0.0); // next start bit
}

TEST(UartText, FramesWithParityInversionAndBitOrder) {
    struct Case {
        const char* item;
        std::vector<int> firstChar; // line levels of the first character, start bit first
        double idleVolts;
    };
    // 'A' = 0x41 = 1000001b: two 1 bits.
    const Case cases[] = {
        {"uart:115200:8E1:A", {0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1}, kHigh},
        {"uart:115200:8O1:A", {0, 1, 0, 0, 0, 0, 0, 1, 0, 1, 1}, kHigh},
        {"uart:9600:7O2:A", {0, 1, 0, 0, 0, 0, 0, 1, 1, 1, 1}, kHigh},
        {"uart:9600:8N1:A:msb", {0, 0, 1, 0, 0, 0, 0, 0, 1, 1}, kHigh},
        // Inverted: every level flipped, idle low.
        {"uart:9600:7O2:A:inv", {1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}, 0.0},
        // 'C' = 1000011b, three 1 bits; most significant first.
        {"uart:9600:7o2:C:msb:inv", {1, 0, 1, 1, 1, 1, 0, 0, 1, 0, 0}, 0.0},
        {"uart:9600:5N1:A", {0, 1, 0, 0, 0, 0, 1}, kHigh}, // only the low five bits
    };
    for (const Case& c : cases) {
        const auto u = UartText::parse(c.item, kHigh);
        ASSERT_TRUE(u) << c.item;
        EXPECT_EQ(levels(*u, static_cast<std::int64_t>(c.firstChar.size())), c.firstChar) << c.item;
        const std::int64_t idleBit = static_cast<std::int64_t>(c.firstChar.size()) + 5;
        EXPECT_EQ(levels(*u, idleBit + 1).back(), c.idleVolts > 0 ? 1 : 0) << c.item;
    }
}

TEST(UartText, ParsesTextWithEscapesAndColons) {
    const auto u = UartText::parse("uart:9600:8N1:a:b\\x3B\\r\\n\\\\:inv", kHigh);
    ASSERT_TRUE(u);
    EXPECT_EQ(u->text(), "a:b;\r\n\\");
    EXPECT_TRUE(u->format().inverted);
    EXPECT_FALSE(u->format().msbFirst);
    // A text that ends like a flag keeps it when the flag is given too.
    const auto v = UartText::parse("uart:300:8N1:ok:inv:inv", kHigh);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->text(), "ok:inv");

    const char* bad[] = {"uart:9600:8N1:",  "uart:9600:8N1",     "uart:0:8N1:x",      "uart:60000000:8N1:x",
                         "uart:9600:8X1:x", "uart:9600:8N3:x",   "uart:9600:1N1:x",   "uart:9600:33N1:x",
                         "uart:abc:8N1:x",  "uart:9600:8N1:\\q", "uart:9600:8N1:\\x4"};
    for (const char* b : bad) EXPECT_FALSE(UartText::parse(b, kHigh)) << b;
}

TEST(UartText, MeanFollowsTheTimeSpentHigh) {
    // 0xFF at 8N1: start low, nine bits high; 20 idle bits high.
    const auto u = UartText::parse("uart:1000:8N1:\\xFF", kHigh);
    ASSERT_TRUE(u);
    EXPECT_NEAR(u->mean(), kHigh * 29.0 / 30.0, 1e-12);
    const auto inv = UartText::parse("uart:1000:8N1:\\xFF:inv", kHigh);
    EXPECT_NEAR(inv->mean(), kHigh / 30.0, 1e-12);
}

} // namespace
} // namespace kx::sim
