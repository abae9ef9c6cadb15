// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/DecoderListing.h"

#include <gtest/gtest.h>

using namespace kx::decoders;

namespace {

std::vector<DecodedChar> chars(std::initializer_list<std::uint32_t> values) {
    std::vector<DecodedChar> v;
    for (auto x : values) v.push_back({0, x, 0, 0});
    return v;
}

std::vector<DecodedChar> counting(int n) {
    std::vector<DecodedChar> v;
    for (int i = 0; i < n; ++i) v.push_back({0, static_cast<std::uint32_t>(i), 0, 0});
    return v;
}

} // namespace

TEST(DecoderListing, HexWithHeaderAndIndexColumn) {
    auto rx = counting(130);
    rx[3].flags = kParityError;
    rx[4].flags = kFramingError | kParityError;
    const auto lines = decodedText(rx, {}, DecoderDisplay::Hex, 8, false);
    ASSERT_EQ(lines.size(), 2u + 9u + 1u);
    EXPECT_EQ(lines[0], "RXD (Data - 130, errors - 2)");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "000:  00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F");
    EXPECT_EQ(lines[10], "080:  80,81");
    EXPECT_EQ(lines[11], "");
}

TEST(DecoderListing, WiderWordsAndLongIndex) {
    EXPECT_EQ(decodedText(chars({0x1FF, 0x3}), {}, DecoderDisplay::Hex, 9, false)[2], "000:  01FF,0003");
    EXPECT_EQ(decodedText(chars({0xABCDE}), {}, DecoderDisplay::Hex, 20, false)[2], "000:  000ABCDE");
    const auto many = decodedText(counting(4100), {}, DecoderDisplay::Hex, 32, false);
    EXPECT_EQ(many[2 + 1024], "1000:  00001000,00001001,00001002,00001003");
}

TEST(DecoderListing, Decimal) {
    const auto lines =
        decodedText(chars({7, 255, 0, 1, 2, 3, 4, 5, 6}), {}, DecoderDisplay::Decimal, 8, false);
    EXPECT_EQ(lines[2], "000:     7, 255,   0,   1,   2,   3,   4,   5");
    EXPECT_EQ(lines[3], "008:     6");
    EXPECT_EQ(decodedText(chars({65535}), {}, DecoderDisplay::Decimal, 16, false)[2], "000:   65535");
    EXPECT_EQ(decodedText(chars({4294967295u}), {}, DecoderDisplay::Decimal, 32, false)[2],
              "000:   4294967295");
}

TEST(DecoderListing, Ascii) {
    const auto lines =
        decodedText(chars({0x41, 0x0A, 0xC1, 0x20, 0x7A, 0x141}), {}, DecoderDisplay::Ascii, 8, false);
    EXPECT_EQ(lines[2], "000:  A-- zA");
    EXPECT_EQ(decodedText(counting(33), {}, DecoderDisplay::Ascii, 8, false).size(), 2u + 2u + 1u);
}

TEST(DecoderListing, BothLinesAndLanguages) {
    const auto rx = chars({1});
    const auto tx = chars({2, 3});
    const std::vector<std::string> en{"RXD (Data - 1, errors - 0)", "", "000:  01",   "",
                                      "TXD (Data - 2, errors - 0)", "", "000:  02,03"};
    EXPECT_EQ(decodedText(rx, tx, DecoderDisplay::Hex, 8, false), en);
    const auto ru = decodedText(rx, tx, DecoderDisplay::Hex, 8, true);
    EXPECT_EQ(ru[0], "RXD (Данных - 1, ошибок - 0)");
    EXPECT_EQ(ru[4], "TXD (Данных - 2, ошибок - 0)");
    const auto txOnly = decodedText({}, tx, DecoderDisplay::Hex, 8, false);
    EXPECT_EQ(txOnly.size(), 3u);
    EXPECT_TRUE(decodedText({}, {}, DecoderDisplay::Hex, 8, false).empty());
}

TEST(DecoderListing, MemoReplacedOnlyWhenChanged) {
    std::vector<std::string> memo;
    const auto rx = chars({1});
    EXPECT_TRUE(showDecodedText(memo, rx, {}, DecoderDisplay::Hex, 8, false));
    EXPECT_FALSE(showDecodedText(memo, rx, {}, DecoderDisplay::Hex, 8, false));
    EXPECT_TRUE(showDecodedText(memo, {}, {}, DecoderDisplay::Hex, 8, false));
    EXPECT_TRUE(memo.empty());
}

TEST(DecoderListing, UnknownFormatShowsHex) {
    EXPECT_EQ(decodedText(chars({0xAB}), {}, static_cast<DecoderDisplay>(7), 8, false)[2], "000:  AB");
}

TEST(DecoderListing, BandLabels) {
    EXPECT_EQ(bandLabel({0, 0x5, 0, 0}, DecoderDisplay::Hex), "05");
    EXPECT_EQ(bandLabel({kParityError, 0x1FF, 0, 0}, DecoderDisplay::Hex), "1FF PE");
    EXPECT_EQ(bandLabel({kParityError | kFramingError, 65, 0, 0}, DecoderDisplay::Ascii), "A PE FE");
    EXPECT_EQ(bandLabel({kFramingError, 300, 0, 0}, DecoderDisplay::Decimal), "300 FE");
}
