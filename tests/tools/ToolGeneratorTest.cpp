// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated generator seen as a user sees it: kx48zz-tool capture with a settings file and the
// generator switched on (or an AWG script run), the A2 trace read back from the data file and
// measured. The program computes the registers; the simulated instrument turns them into a signal.
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace kx::tooltest;

// The A2 trace of a data file in volts, and its sample period.
struct Trace {
    std::vector<double> volts;
    double dt = 0.0; // seconds
    bool ok = false;
};

std::uint32_t word(const std::string& b, std::size_t off) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[off + static_cast<std::size_t>(i)]);
    return v;
}

Trace readA2(const std::filesystem::path& file) {
    Trace t;
    const std::string b = slurp(file);
    if (b.size() < 636 || b.compare(0, 11, "KXD_KX48zz:") != 0) return t;
    auto header = [&](int w) { return word(b, 12 + 4 * static_cast<std::size_t>(w)); };
    const std::uint32_t n = header(11), mask = header(30), scale = header(7), zero = header(8);
    const std::size_t perSample = header(15) != 0 ? 4 : 2;
    if (!(mask & 0x02)) return t;
    std::size_t off = 636 + ((mask & 0x01) ? n * perSample : 0);
    if (b.size() < off + n * perSample) return t;
    for (std::uint32_t i = 0; i < n; ++i, off += perSample) {
        const auto code = static_cast<unsigned char>(b[off]) | (static_cast<unsigned char>(b[off + 1]) << 8);
        t.volts.push_back((static_cast<double>(code) - zero) * scale * 8.0 / 65536.0 * 1e-6);
    }
    t.dt = static_cast<double>(word(b, 12 + 4) | (static_cast<std::uint64_t>(header(2)) << 32)) * 1e-12;
    t.ok = n > 0;
    return t;
}

double middle(const std::vector<double>& v) {
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    return 0.5 * (*lo + *hi);
}

// Rising crossings of the middle level, interpolated, in samples.
std::vector<double> risingCrossings(const std::vector<double>& v) {
    const double mid = middle(v);
    std::vector<double> out;
    for (std::size_t i = 1; i < v.size(); ++i) {
        const double a = v[i - 1] - mid, b = v[i] - mid;
        if (a < 0 && b >= 0) out.push_back(static_cast<double>(i - 1) + a / (a - b));
    }
    return out;
}

double frequency(const Trace& t) {
    const std::vector<double> c = risingCrossings(t.volts);
    if (c.size() < 2) return 0.0;
    return static_cast<double>(c.size() - 1) / ((c.back() - c.front()) * t.dt);
}

// Frequency of each period (crossing to crossing), placed at its middle sample.
std::vector<std::pair<double, double>> periodFrequencies(const Trace& t) {
    const std::vector<double> c = risingCrossings(t.volts);
    std::vector<std::pair<double, double>> out;
    for (std::size_t k = 0; k + 1 < c.size(); ++k)
        out.emplace_back(0.5 * (c[k] + c[k + 1]), 1.0 / ((c[k + 1] - c[k]) * t.dt));
    return out;
}

// Mean of the samples below and above the middle level: the two levels of a rectangle.
std::pair<double, double> levels(const std::vector<double>& v) {
    const double mid = middle(v);
    double lo = 0, hi = 0;
    int nLo = 0, nHi = 0;
    for (const double x : v) (x < mid ? (lo += x, ++nLo) : (hi += x, ++nHi));
    return {nLo ? lo / nLo : 0.0, nHi ? hi / nHi : 0.0};
}

class ToolGeneratorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("kx_tool_generator_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string p(const std::string& name) const { return (m_dir / name).string(); }
    std::string err() const { return slurp(m_dir / "err.txt"); }
    ToolRun run(const std::string& args) const {
        const std::string env =
            std::string("KX48ZZ_D2XX=") + KX_SIM_PATH + " KX48ZZ_SIM='pacing=off;seed=7' ";
        return runTool(args, p("err.txt"), env);
    }

    // A2 shown at 0.5 V/div with its zero line at `zero` (screen units), the given time base and
    // record length, and the generator keys; returns the captured A2 trace.
    Trace capture(const std::string& timeBase, const std::string& generator, int zero = 8192,
                  int points = 5000, const std::string& extra = {}) {
        const std::string name = "case" + std::to_string(++m_count);
        {
            std::ofstream f(p(name + "_in.kxs"), std::ios::binary);
            f << "[System]\r\nKX48zz_KXS_FILE=1\r\n\r\n[Common]\r\nCH_A2=1\r\nSmpl_N_5000=0\r\nSmpl_N_"
              << points << "=1\r\n\r\n[Scope]\r\n1mS=0\r\n"
              << timeBase << "=1\r\nA2_1V=0\r\nA2_05V=1\r\nA2_AC=0\r\nA2_Zero=" << zero
              << "\r\n\r\n[Generator]\r\n"
              << generator;
        }
        const ToolRun r = run("capture --settings " + p(name + "_in.kxs") + " --generator on " + extra +
                              " --out " + p(name + ".kxd"));
        EXPECT_EQ(r.status, 0) << err();
        Trace t = readA2(p(name + ".kxd"));
        EXPECT_TRUE(t.ok) << name;
        return t;
    }

    std::filesystem::path m_dir;
    int m_count = 0;
};

TEST_F(ToolGeneratorTest, FrequencyOfEachShapeAndRange) {
    struct Case {
        const char* timeBase;
        const char* generator;
        double hertz;
    };
    const std::vector<Case> cases = {
        {"5mS", "Sin=1\r\nFMult=0\r\nFFast=1234\r\nFSlow=0\r\n", 1234.0},
        {"02mS", "Rect=1\r\nFMult=1\r\nFFast=4567\r\nFSlow=0\r\n", 45670.0},
        {"20uS", "Trian=1\r\nFMult=2\r\nFFast=2345\r\nFSlow=0\r\n", 234500.0},
        {"2uS", "Sin=1\r\nFMult=3\r\nFFast=3210\r\nFSlow=0\r\n", 3.21e6},
        {"2uS", "Sin=1\r\nFMult=4\r\nFFast=2500\r\nFSlow=0\r\n", 25e6},
    };
    for (const Case& c : cases) {
        const Trace t = capture(c.timeBase, c.generator);
        ASSERT_TRUE(t.ok);
        EXPECT_NEAR(frequency(t), c.hertz, c.hertz * 0.001) << c.generator;
    }
}

TEST_F(ToolGeneratorTest, AmplitudeAndDcModesGiveTheLevelsThePanelSays) {
    // A 1 kHz rectangle shows the lowest and highest level; A2's full scale is 4 V.
    struct Case {
        int ampl, dc, mode, zero;
        double low, high;
    };
    const std::vector<Case> cases = {
        {2000, 500, 0, 8192, 0.5, 2.5},  // "Positiv": DC_Shift is the lowest level
        {2000, 1000, 1, 8192, 0.0, 2.0}, // zero-DC: DC_Shift is the mean
        {1500, 2000, 2, 8192, 0.5, 2.0}, // "Negativ": DC_Shift is the highest level
        {3000, 1500, 3, 8192, 0.0, 3.0}, // "Symmetrical": DC_Shift is the middle
        {4000, 1000, 0, 8192, 1.0, 3.3}, // limited at 3.3 V
        {2000, 0, 2, 49152, -2.0, 0.0},  // below ground
        {2000, 3000, 1, 8192, 2.7, 3.3}, // limited: A = 600 mV around 3 V
    };
    for (const Case& c : cases) {
        const std::string gen =
            "Rect=1\r\nFMult=1\r\nFFast=100\r\nFSlow=0\r\nAmpl=" + std::to_string(c.ampl) +
            "\r\nDC_Shift=" + std::to_string(c.dc) + "\r\nGEN_DC_Mode=" + std::to_string(c.mode) + "\r\n";
        const Trace t = capture("1mS", gen, c.zero);
        ASSERT_TRUE(t.ok);
        const auto [low, high] = levels(t.volts);
        EXPECT_NEAR(low, c.low, 0.03 * 4.0) << gen;
        EXPECT_NEAR(high, c.high, 0.03 * 4.0) << gen;
    }
}

TEST_F(ToolGeneratorTest, PulseWidthAndPeriod) {
    struct Case {
        const char* timeBase;
        const char* generator;
        double width, period; // seconds
    };
    const std::vector<Case> cases = {
        {"01mS", "Pulse=1\r\nTMult=2\r\nTPulse=50\r\nTPer=200\r\n", 25e-6, 100e-6},
        {"5uS", "Pulse=1\r\nTMult=0\r\nTPulse=123\r\nTPer=1000\r\n", 615e-9, 5e-6},
    };
    for (const Case& c : cases) {
        const Trace t = capture(c.timeBase, c.generator);
        ASSERT_TRUE(t.ok);
        const double mid = middle(t.volts);
        std::vector<std::size_t> rises, falls;
        for (std::size_t i = 1; i < t.volts.size(); ++i) {
            if (t.volts[i - 1] < mid && t.volts[i] >= mid) rises.push_back(i);
            if (t.volts[i - 1] >= mid && t.volts[i] < mid) falls.push_back(i);
        }
        ASSERT_GE(rises.size(), 5u) << c.generator;
        const double period = static_cast<double>(rises.back() - rises.front()) / (rises.size() - 1) * t.dt;
        double width = 0.0;
        int n = 0;
        for (const std::size_t r : rises) {
            const auto f = std::upper_bound(falls.begin(), falls.end(), r);
            if (f == falls.end()) break;
            width += static_cast<double>(*f - r) * t.dt;
            ++n;
        }
        width /= n;
        EXPECT_NEAR(period, c.period, c.period * 0.001) << c.generator;
        // Edges fall between samples: within one sample.
        EXPECT_NEAR(width, c.width, t.dt) << c.generator;
    }
}

TEST_F(ToolGeneratorTest, SweepCoversItsSpanOnceAcrossTheRecord) {
    // 10 kHz to 50 kHz over the 10 ms record (trigger off: every sample is after the trigger).
    const Trace t = capture("1mS", "F_Sweep=1\r\nFMult=1\r\nFStart=1000\r\nFSweep=5000\r\n");
    ASSERT_TRUE(t.ok);
    const auto f = periodFrequencies(t);
    ASSERT_GT(f.size(), 100u);
    // Straight line through the frequency of every period.
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const auto& [x, y] : f) sx += x, sy += y, sxx += x * x, sxy += x * y;
    const double n = static_cast<double>(f.size());
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double start = (sy - slope * sx) / n;
    const double stop = start + slope * static_cast<double>(t.volts.size());
    EXPECT_NEAR(start, 10000.0, 100.0);
    EXPECT_NEAR(stop, 50000.0, 100.0);
}

TEST_F(ToolGeneratorTest, AmDepthAndFmDeviation) {
    // 20 kHz carrier, 2 V; a 500 Hz sine at 50 % depth: the carrier's peak-to-peak swings between
    // 0.5 V and 1.5 V around the middle.
    const std::string carrier =
        "FMult=1\r\nFFast=2000\r\nFSlow=0\r\nAmpl=2000\r\nMod=1\r\nMod_Src=0\r\nMF_Slow=0\r\n"
        "MF_Mult=0\r\nMF_Shape=0\r\nMod_Param=500\r\nDF_Mult=0\r\n";
    const Trace am = capture("1mS", carrier + "Mod_Type=0\r\nMF_Fast=500\r\n", 8192, 20000);
    ASSERT_TRUE(am.ok);
    const auto perCycle = static_cast<std::size_t>(std::lround(1.0 / (20000.0 * am.dt)));
    std::vector<double> pp;
    for (std::size_t i = 0; i + perCycle <= am.volts.size(); i += perCycle) {
        const auto [lo, hi] = std::minmax_element(am.volts.begin() + static_cast<long>(i),
                                                  am.volts.begin() + static_cast<long>(i + perCycle));
        pp.push_back(*hi - *lo);
    }
    const auto [eMin, eMax] = std::minmax_element(pp.begin(), pp.end());
    EXPECT_NEAR((*eMax - *eMin) / (*eMax + *eMin), 0.5, 0.02);
    EXPECT_NEAR(*eMax, 1.5, 0.03 * 4.0);

    // A 200 Hz sine with 5 kHz deviation: the carrier's frequency runs from 15 kHz to 25 kHz.
    const Trace fm = capture("1mS", carrier + "Mod_Type=1\r\nMF_Fast=200\r\n", 8192, 20000);
    ASSERT_TRUE(fm.ok);
    const auto f = periodFrequencies(fm);
    ASSERT_GT(f.size(), 100u);
    const auto [fMin, fMax] = std::minmax_element(
        f.begin(), f.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_NEAR((fMax->second - fMin->second) / 2, 5000.0, 5000.0 * 0.03);
    EXPECT_NEAR((fMax->second + fMin->second) / 2, 20000.0, 200.0);
}

TEST_F(ToolGeneratorTest, AwgStaircaseLevelsAndStepPeriod) {
    // Four steps of 1 us at 100 % amplitude from 0 V: 0, 4/3, 8/3 and 4 V (A2 at 1 V/div).
    {
        std::ofstream(p("stairs.kxg"), std::ios::binary)
            << "// staircase\r\n#CLOCK 200\r\n#AMP 100\r\n"
               "loop: OUT 0\r\nOUT 1365\r\nOUT 2730\r\nOUT 4095\r\n"
               "JMP loop\r\n";
        std::ofstream(p("stairs_in.kxs"), std::ios::binary)
            << "[System]\r\nKX48zz_KXS_FILE=1\r\n\r\n[Common]\r\nCH_A2=1\r\n\r\n[Scope]\r\n1mS=0\r\n2uS=1\r\n"
               "A2_1V=1\r\nA2_AC=0\r\nA2_Zero=8192\r\n";
    }
    const ToolRun r = run("capture --settings " + p("stairs_in.kxs") + " --awg " + p("stairs.kxg") +
                          " --out " + p("stairs.kxd"));
    ASSERT_EQ(r.status, 0) << err();
    const Trace t = readA2(p("stairs.kxd"));
    ASSERT_TRUE(t.ok);
    // Runs of equal level: each step's level and length.
    std::vector<std::pair<double, std::size_t>> steps;
    std::size_t begin = 0;
    for (std::size_t i = 1; i <= t.volts.size(); ++i) {
        if (i < t.volts.size() && std::abs(t.volts[i] - t.volts[begin]) < 0.3) continue;
        const double sum = std::accumulate(t.volts.begin() + static_cast<long>(begin),
                                           t.volts.begin() + static_cast<long>(i), 0.0);
        steps.emplace_back(sum / static_cast<double>(i - begin), i - begin);
        begin = i;
    }
    ASSERT_GE(steps.size(), 8u);
    // The first and last runs are cut by the record; the ones between are whole steps.
    const double expected[4] = {0.0, 4.0 / 3.0, 8.0 / 3.0, 4.0};
    for (std::size_t k = 1; k + 1 < steps.size(); ++k) {
        EXPECT_NEAR(static_cast<double>(steps[k].second) * t.dt, 1e-6, t.dt) << "step " << k;
        const double* match =
            std::min_element(std::begin(expected), std::end(expected), [&](double a, double b) {
                return std::abs(a - steps[k].first) < std::abs(b - steps[k].first);
            });
        EXPECT_NEAR(steps[k].first, *match, 0.03 * 8.0) << "step " << k;
        // Rising by one step, then back to 0 V.
        const double next = steps[k + 1].first - steps[k].first;
        EXPECT_TRUE(std::abs(next - 4.0 / 3.0) < 0.24 || std::abs(next + 4.0) < 0.24) << "step " << k;
    }
}

TEST_F(ToolGeneratorTest, AwgScriptThatDoesNotCompileStopsTheCapture) {
    std::ofstream(p("bad.kxg"), std::ios::binary) << "OUT 1\r\nOUT 4096\r\n";
    const ToolRun r = run("capture --awg " + p("bad.kxg") + " --out " + p("bad.kxd"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(err().find("Error in line 2\n4096 is out of range"), std::string::npos) << err();
    EXPECT_FALSE(std::filesystem::exists(p("bad.kxd")));

    const ToolRun missing = run("capture --awg " + p("none.kxg") + " --out " + p("none.kxd"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(err().find("File not found."), std::string::npos) << err();
}

TEST_F(ToolGeneratorTest, GeneratorSwitchIsChecked) {
    const ToolRun r = run("capture --generator maybe --out " + p("x.kxd"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(err().find("bad --generator value 'maybe'"), std::string::npos) << err();
}

} // namespace
