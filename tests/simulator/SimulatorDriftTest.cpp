// SPDX-License-Identifier: GPL-3.0-or-later
// An aged unit against the tables it was shipped with: grounded inputs off their zero lines, the
// zero moving with the supply and the fine correction taking it back, dither left over when the
// compensation does not match; the flash kept in a file.
#include "SimulatorDataFixture.h"
#include "calibration/SystemMeasurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>

using namespace kxtest;

namespace {

constexpr double kDitherPeriodPs = 401017.0;

double mean(const std::vector<int>& v) {
    return v.empty() ? 0.0 : std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

// Amplitude (codes) of the dither tone in samples dtPs apart.
double toneAmplitude(const std::vector<int>& v, double dtPs) {
    std::complex<double> sum;
    const double m = mean(v);
    for (std::size_t i = 0; i < v.size(); ++i)
        sum += (v[i] - m) *
               std::polar(1.0, -6.283185307179586 * static_cast<double>(i) * dtPs / kDitherPeriodPs);
    return 2.0 * std::abs(sum) / static_cast<double>(v.size());
}

class SimulatorDrift : public SimulatorData {
protected:
    // Both inputs at gainCode (1 V group: 14, or 10 mV/div: 2), DC, 0 V at code 128 by the table.
    Registers grounded(unsigned gainCode) const {
        Registers g = base();
        g.r[32] = 0x03;
        g.r[38] = static_cast<std::uint8_t>(gainCode);
        g.r[39] = static_cast<std::uint8_t>(gainCode);
        g.set16(68, static_cast<std::uint32_t>(zeroDac(0, 0, 128 * 256.0)));
        g.set16(70, static_cast<std::uint32_t>(zeroDac(1, 0, 128 * 256.0)));
        return g;
    }
};

TEST_F(SimulatorDrift, GroundedInputsLeaveTheirZeroLinesOnlyOnTheAgedUnit) {
    ASSERT_EQ(d2xx().control("a1=ground;a2=ground"), 0);
    Registers g = grounded(2);
    const Frame shipped = frame(g, 5000);
    for (int ch = 0; ch < 2; ++ch) EXPECT_NEAR(mean(shipped.analog[ch]), 128.0, 0.25) << "A" << ch + 1;

    ASSERT_EQ(d2xx().control("unit=drifted"), 0);
    const Frame aged = frame(g, 5000);
    for (int ch = 0; ch < 2; ++ch) {
        const double off = std::abs(mean(aged.analog[ch]) - 128.0);
        EXPECT_GT(off, 1.0) << "A" << ch + 1;
        EXPECT_LT(off, 8.0) << "A" << ch + 1;
    }
    // The status packets still carry the tables it was shipped with.
    const auto st = m_host->waitStatus(0, 400, 5000);
    ASSERT_TRUE(st.has_value());
    EXPECT_TRUE(std::equal(st->body.begin() + 26, st->body.begin() + 154, m_status.begin() + 26));

    // Another seed is another unit; the same seed the same one.
    ASSERT_EQ(d2xx().control("seed=4"), 0);
    const double other = mean(frame(g, 5000).analog[0]);
    ASSERT_EQ(d2xx().control("seed=3"), 0);
    EXPECT_NEAR(mean(frame(g, 5000).analog[0]), mean(aged.analog[0]), 0.05);
    EXPECT_GT(std::abs(other - mean(aged.analog[0])), 0.1);
}

TEST_F(SimulatorDrift, FineCorrectionCancelsTheSupplySensitivity) {
    ASSERT_EQ(d2xx().control("unit=drifted;a1=ground;a2=ground"), 0);
    Registers g = grounded(14);
    const double r0 = mean(frame(g, 5000).analog[0]);
    ASSERT_EQ(d2xx().control("supply=4800"), 0);
    const double r1 = mean(frame(g, 5000).analog[0]);
    EXPECT_GT(std::abs(r1 - r0), 0.3) << "the aged unit's zero follows the supply";

    // Reading steps (16-bit) per raw supply step, against DAC steps per reading step.
    const double raw0 = 5000 * 65536.0 / 6600.0, raw1 = 4800 * 65536.0 / 6600.0;
    const double sensitivity = (r0 - r1) * 256.0 / (raw0 - raw1);
    const double l = 9000.0 / (u16(m_status, 28) - u16(m_status, 26));
    g.r[36] = static_cast<std::uint8_t>(static_cast<std::int8_t>(std::lround(sensitivity * l * 256.0)));
    const double corrected = mean(frame(g, 5000).analog[0]);
    EXPECT_NEAR(corrected, r0, 0.1);
    // At the supply the table was taken at the correction does nothing.
    ASSERT_EQ(d2xx().control("supply=5000"), 0);
    EXPECT_NEAR(mean(frame(g, 5000).analog[0]), r0, 0.1);
}

TEST_F(SimulatorDrift, DitherShowsWhereTheCompensationMisses) {
    ASSERT_EQ(d2xx().control("a1=ground;a2=ground"), 0);
    struct Case {
        const char* what;
        bool drifted;
        int ampDelta;
        int rcDelta;
        bool enabled;
        double lo, hi;
    };
    const Case cases[] = {
        {"shipped values cancel", false, 0, 0, true, 0.0, 0.03},
        {"amplitude off by 20", false, 20, 0, true, 0.15, 0.25},
        {"RC off by one", false, 0, 1, true, 0.15, 0.25},
        {"dither off", false, 20, 1, false, 0.0, 0.03},
        {"aged unit, shipped values", true, 0, 0, true, 0.04, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(d2xx().control(c.drifted ? "unit=drifted" : "unit=factory"), 0);
        Registers g = grounded(14);
        g.set32(5, 1); // 5 ns samples
        g.r[88] = static_cast<std::uint8_t>(g.r[88] + c.ampDelta);
        g.r[89] = static_cast<std::uint8_t>(g.r[89] + c.rcDelta);
        g.r[66] = c.enabled ? 0x45 : 0x44;
        const Frame f = frame(g, 5000);
        const double a = toneAmplitude(f.analog[0], 5000.0);
        EXPECT_GE(a, c.lo);
        EXPECT_LE(a, c.hi);
    }
}

TEST_F(SimulatorDrift, FlashFileKeepsTablesSerialAndUnit) {
    const auto dir = std::filesystem::temp_directory_path() / ("kxsim_flash_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "flash.txt").string();
    ASSERT_EQ(d2xx().control(("unit=drifted;serial_number=0x1234;flash_file=" + path).c_str()), 0);
    ASSERT_TRUE(std::filesystem::exists(path)) << "written when attached";

    // The host rewrites the zero table: the file follows.
    std::vector<std::uint8_t> table(m_status.begin() + 26, m_status.begin() + 90);
    table[0] ^= 0x55;
    table[62] = table[63] = 0;
    {
        std::uint16_t crc = 0xFFFF;
        for (std::size_t i = 0; i < 62; ++i) {
            crc ^= table[i];
            for (int b = 0; b < 8; ++b) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        }
        table[62] = static_cast<std::uint8_t>(crc);
        table[63] = static_cast<std::uint8_t>(crc >> 8);
    }
    m_host->write(FrameBuilder::preamble());
    m_host->write(FrameBuilder().block(0xF400, table).body());
    ASSERT_TRUE(m_host->waitStatus(3, 400).has_value());

    // A fresh instrument, then the kept flash: the same unit, serial and tables.
    ASSERT_EQ(d2xx().control("reset;pacing=off;seed=3"), 0);
    m_host = std::make_unique<Host>();
    ASSERT_EQ(m_host->configure(), 0u);
    ASSERT_EQ(d2xx().control(("flash_file=" + path).c_str()), 0);
    ASSERT_EQ(m_host->loadFpga(Host::image()), 0u);
    const auto ready = m_host->waitStatus(2, 5);
    ASSERT_TRUE(ready.has_value());
    EXPECT_TRUE(std::equal(table.begin(), table.end(), ready->body.begin() + 26));
    EXPECT_EQ(u32(ready->body, 8), 0x1234u);
    EXPECT_EQ(u32(ready->body, 12), 0u);

    // A file that is not a flash image is refused and left as it was.
    const std::string bad = (dir / "bad.txt").string();
    std::ofstream(bad) << "zero_table=12\n";
    EXPECT_EQ(d2xx().control(("flash_file=" + bad).c_str()), 1);
    std::ifstream in(bad);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "zero_table=12\n");
    d2xx().control("reset");
    std::filesystem::remove_all(dir);
}

} // namespace

namespace {

// The system calibration's automatic converter matching on the aged unit: the generator's 3 V
// sine on both inputs at 500 mV/div, ten result sets of ten frames each.
TEST_F(SimulatorDrift, AutomaticConverterMatchingOnTheAgedUnit) {
    using namespace kx::calibration;
    ASSERT_EQ(d2xx().control("unit=drifted;a1=generator;a2=generator"), 0);
    constexpr std::size_t kPoints = kCalibrationPoints;
    constexpr double kExpected = 3000000.0; // uV peak to peak
    Registers g = calibrationBase();

    kx::core::CalTable table{};
    std::copy(m_status.begin() + 90, m_status.begin() + 154, table.begin());
    SystemMeasurement m;
    AutoAdcCalibration autoAdc;
    SystemResults last;
    const auto run = [&](int results) {
        for (int i = 0; i < 8; ++i)
            g.r[80 + static_cast<std::size_t>(i)] = table[8 + static_cast<std::size_t>(i)];
        m.reset();
        for (int got = 0; got < results;) {
            const Frame f = frame(g, kPoints);
            std::vector<std::int32_t> a1(f.analog[0].begin(), f.analog[0].end()),
                a2(f.analog[1].begin(), f.analog[1].end());
            for (auto& v : a1) v *= 256;
            for (auto& v : a2) v *= 256;
            ASSERT_EQ(a1.size(), kPoints);
            SystemFrame sf;
            sf.a1 = a1;
            sf.a2 = a2;
            sf.count = kPoints;
            sf.rangeA1 = sf.rangeA2 = 500000.0;
            if (!m.frame(sf)) continue;
            ++got;
            last = m.results();
        }
    };
    // With the shipped trims the aged converters do not match.
    run(1);
    EXPECT_FALSE(adcMatched(last, 0, kExpected) && adcMatched(last, 1, kExpected));
    EXPECT_GT(std::abs(last.gain[0] / last.gain[1] - 1.0) + std::abs(last.gain[2] / last.gain[3] - 1.0),
              0.002);

    autoAdc.start(table);
    while (autoAdc.running()) {
        run(1);
        if (autoAdc.result(last, table, kExpected, true)) run(0);
    }
    run(1);
    for (int ch = 0; ch < 2; ++ch) {
        SCOPED_TRACE(ch);
        EXPECT_TRUE(adcMatched(last, ch, kExpected));
        EXPECT_NEAR(last.gain[2 * ch] / last.gain[2 * ch + 1], 1.0, 0.001) << "gains matched within 0.1 %";
    }
}

} // namespace
