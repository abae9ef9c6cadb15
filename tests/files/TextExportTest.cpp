// SPDX-License-Identifier: GPL-3.0-or-later
// The column text of "Text..." and the raw binary of "A1..." .. "D4...", byte for byte.
#include "ExportFixture.h"

#include "files/RawExport.h"
#include "files/TextExport.h"

#include <sstream>
#include <vector>

namespace kx::files::test {
namespace {

using core::Channel;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        out.push_back(text.substr(from, at - from));
    EXPECT_EQ(from, text.size()) << "every line ends with CR LF";
    return out;
}

std::string pad(const std::string& s, std::size_t width) {
    return s + std::string(width > s.size() ? width - s.size() : 0, ' ');
}

class TextExportTest : public ExportFixture {};

TEST_F(TextExportTest, EightDigitalSamplesPerAnalogSample) {
    shape(5000, 625, 3, 0x05); // A1 and D1, fast digital
    for (std::size_t i = 0; i < 3; ++i) set(Channel::A1, i, 0x8000 + 0x100 * static_cast<std::int32_t>(i));
    for (std::size_t i = 0; i < 24; ++i) set(Channel::D1, i, (i % 3 == 0) ? 256 : 0);
    std::string out;
    buildTextExport(*frame, only({Channel::A1, Channel::D1}), '.', out);
    const auto l = lines(out);
    ASSERT_EQ(l.size(), 5u + 24u);
    EXPECT_EQ(l[0], "Oscilloscope data. ");
    EXPECT_EQ(l[1], "Time step = 0.625 nS");
    EXPECT_EQ(l[2], "");
    EXPECT_EQ(l[3], "N       A1          D1          ");
    EXPECT_EQ(l[4], "");
    // The analog value stands on the last row of its analog sample; the digital column on every row.
    for (std::size_t i = 0; i < 24; ++i) {
        std::string a1;
        if (i == 7) a1 = "0.000 uV";
        if (i == 15) a1 = "31.25 mV";
        if (i == 23) a1 = "62.50 mV";
        EXPECT_EQ(l[5 + i], pad(std::to_string(i), 8) + pad(a1, 12) + pad(i % 3 == 0 ? "1" : "0", 12)) << i;
    }
}

TEST_F(TextExportTest, OnlyD2WithoutPeakDetector) {
    shape(40000, 40000, 4, 0x3D);
    for (std::size_t i = 0; i < 4; ++i) set(Channel::D2, i, i == 2 ? 256 : 0);
    std::string out;
    buildTextExport(*frame, only({Channel::D2}), ',', out);
    const auto l = lines(out);
    ASSERT_EQ(l.size(), 9u);
    EXPECT_EQ(l[1], "Time step = 40,00 nS");
    EXPECT_EQ(l[3], "N       D2          ");
    EXPECT_EQ(l[5], "0       0           ");
    EXPECT_EQ(l[7], "2       1           ");
    for (std::size_t i = 5; i < l.size(); ++i) EXPECT_EQ(l[i].size(), 8u + 12u);
}

TEST_F(TextExportTest, PeakDetectorWritesMinimumAndMaximum) {
    shape(10000, 10000, 2, 0x0F, true);
    set(Channel::A1, 0, 0x7F00, 0x8100);
    set(Channel::A2, 0, 0x4000, 0x4100);
    set(Channel::D1, 0, 0, 256);
    set(Channel::D2, 0, 256, 256);
    set(Channel::A1, 1, core::kNoSample, core::kNoSample); // no sample: the field stays blank
    std::string out;
    buildTextExport(*frame, only({Channel::A1, Channel::A2, Channel::D1, Channel::D2}), '.', out);
    const auto l = lines(out);
    ASSERT_EQ(l.size(), 7u);
    EXPECT_EQ(l[3], "N       A1 MIN      A1 MAX      A2 MIN      A2 MAX      D1 MIN      D1 MAX      "
                    "D2 MIN      D2 MAX      ");
    EXPECT_EQ(l[5], "0       -31.25 mV   31.25 mV    0.000 uV    1.563 mV    0           1           "
                    "1           1           ");
    EXPECT_EQ(l[6].substr(0, 32), "1" + std::string(31, ' '));
}

class RawExportTest : public ExportFixture {};

std::vector<int> values(const std::vector<std::uint8_t>& bytes) {
    std::vector<int> v;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        v.push_back(static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return v;
}

TEST_F(RawExportTest, StopsAtTheFirstPositionWithoutASample) {
    shape(5000, 5000, 6, 0x31);
    set(Channel::A1, 0, 0x8000);
    set(Channel::A1, 1, 0x0000);
    set(Channel::A1, 2, 0xFF00);
    set(Channel::A1, 3, 0xFFC0); // an averaged code near the top is a sample
    // 4 stays without a sample: the file ends there although 5 holds one.
    set(Channel::A1, 5, 0x8000);
    std::vector<std::uint8_t> bytes;
    buildRawExport(*frame, Channel::A1, bytes);
    EXPECT_EQ(values(bytes), (std::vector<int>{0, -32768, 0x7F00, 0x7FC0}));

    for (std::size_t i = 0; i < 6; ++i) set(Channel::D3, i, i % 2 ? 256 : 0);
    bytes.clear();
    buildRawExport(*frame, Channel::D3, bytes);
    EXPECT_EQ(values(bytes), (std::vector<int>{0, 256, 0, 256, 0, 256}));
}

TEST_F(RawExportTest, PeakDetectorStopsAtAMissingMaximum) {
    shape(5000, 5000, 3, 0x01, true);
    set(Channel::A1, 0, 0x7000, 0x9000);
    set(Channel::A1, 1, 0x7100, core::kNoSample);
    std::vector<std::uint8_t> bytes;
    buildRawExport(*frame, Channel::A1, bytes);
    EXPECT_EQ(values(bytes), (std::vector<int>{-0x1000, 0x1000, -0x0F00}));
}

TEST_F(RawExportTest, DescriptionText) {
    shape(200'000'000, 200'000'000, 10, 0x3F, true);
    frame->header[core::fh::ZeroA2] = 0x10000; // beyond the range: reported as 32767
    EXPECT_EQ(rawDescription(frame->header, Channel::A1, "run.bin", '.'),
              "Oscilloscope binary file = run.bin\r\n"
              "Time step = 200.0 uS\r\n"
              "Peak detector on, bytes per sample = 4, Signed 16 bit LSB First\r\n"
              "Voltage step = 122.070 uV\r\n"
              "Zero level = 0\r\n\r\n");
    const std::string a2 = rawDescription(frame->header, Channel::A2, "run.bin", '.');
    EXPECT_EQ(a2.substr(a2.find("Voltage")), "Voltage step = 6.10352 uV\r\nZero level = 32767\r\n\r\n");
    frame->header[core::fh::PeakDetect] = 0;
    frame->header.set64(core::fh::DigitalPeriodPs, 25'000'000);
    EXPECT_EQ(rawDescription(frame->header, Channel::D3, "d3.bin", '.'),
              "Oscilloscope binary file = d3.bin\r\n"
              "Time step = 25.00 uS\r\n"
              "Peak detector off, bytes per sample = 2, Signed 16 bit LSB First\r\n");
}

} // namespace
} // namespace kx::files::test
