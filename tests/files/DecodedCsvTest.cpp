// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DecodedCsv.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kx::files {
namespace {

using decoders::DecodedChar;

std::vector<std::string> rows(const std::string& csv) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < csv.size()) {
        const std::size_t end = csv.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        if (end == std::string::npos) break;
        out.push_back(csv.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

// RXD on A1 (1 us samples, trigger at sample 100), TXD on D1 (250 ns samples, four per analog
// sample: the trigger at digital sample 400).
struct BothLines : ::testing::Test {
    core::FrameHeader h;
    void SetUp() override {
        h.set64(core::fh::SamplePeriodPs, 1'000'000);
        h.set64(core::fh::DigitalPeriodPs, 250'000);
        h[core::fh::PreTrigger] = 100;
    }
};

TEST_F(BothLines, TimingOfEachSource) {
    const DecodedLineTiming a1 = decodedLineTiming(h, 1);
    EXPECT_EQ(a1.periodPs, 1'000'000);
    EXPECT_EQ(a1.triggerIndex, 100);
    const DecodedLineTiming d1 = decodedLineTiming(h, 3);
    EXPECT_EQ(d1.periodPs, 250'000);
    EXPECT_EQ(d1.triggerIndex, 400);
    // Without a digital period the digital samples line up with the analog ones.
    h.set64(core::fh::DigitalPeriodPs, 0);
    EXPECT_EQ(decodedLineTiming(h, 6).triggerIndex, 100);
}

TEST_F(BothLines, MergedInTimeOrderWithFlags) {
    const std::vector<DecodedChar> rxd{
        {0, 'A', 50, 90},                                                   // -50 us
        {decoders::kParityError, 0x22, 120, 160},                           // +20 us, the quote character
        {decoders::kFramingError | decoders::kParityError, 0x0A, 300, 340}, // +200 us
    };
    const std::vector<DecodedChar> txd{
        {0, 'x', 0, 160},                            // -100 us: first
        {0, ',', 480, 640},                          // +20 us: the same time as RXD's second, after it
        {decoders::kFramingError, 0xC1, 1000, 1160}, // +150 us
    };
    const DecodedTraffic t{rxd, txd, decodedLineTiming(h, 1), decodedLineTiming(h, 3), 8};
    std::string csv;
    buildDecodedCsv(t, csv);
    const std::vector<std::string> expected{
        "Time (s),Line,Value,Char,Parity error,Framing error",
        "-0.0001,TXD,0x78,\"x\",0,0",
        "-0.00005,RXD,0x41,\"A\",0,0",
        "0.00002,RXD,0x22,\"\"\"\",1,0",
        "0.00002,TXD,0x2C,\",\",0,0",
        "0.00015,TXD,0xC1,,0,1",
        "0.0002,RXD,0x0A,,1,1",
    };
    EXPECT_EQ(rows(csv), expected);
}

TEST_F(BothLines, WideValuesAndOneLineOnly) {
    const std::vector<DecodedChar> rxd{{0, 0x1FF, 100, 120}};
    std::string csv;
    buildDecodedCsv({rxd, {}, decodedLineTiming(h, 2), {}, 9}, csv);
    EXPECT_EQ(rows(csv).at(1), "0,RXD,0x01FF,,0,0");
    csv.clear();
    const std::vector<DecodedChar> txd{{0, 0xABCDE, 400, 420}};
    buildDecodedCsv({{}, txd, {}, decodedLineTiming(h, 4), 20}, csv);
    EXPECT_EQ(rows(csv).at(1), "0,TXD,0x000ABCDE,,0,0");
    csv.clear();
    buildDecodedCsv({}, csv);
    EXPECT_EQ(rows(csv).size(), 1u); // the heading alone
}

} // namespace
} // namespace kx::files
