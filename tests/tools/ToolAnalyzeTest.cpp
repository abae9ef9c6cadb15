// SPDX-License-Identifier: GPL-3.0-or-later
// kx48zz-tool analyze against the simulated circuits.
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace kx::tooltest;

struct Row {
    double hz = 0, db = 0, deg = 0;
};

std::vector<Row> readResponse(const std::string& text) {
    std::vector<Row> rows;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        Row r;
        if (std::sscanf(line.c_str(), "%lf,%lf,%lf", &r.hz, &r.db, &r.deg) == 3) rows.push_back(r);
    }
    return rows;
}

class ToolAnalyzeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("kx_tool_analyze_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string p(const char* name) const { return (m_dir / name).string(); }
    ToolRun run(const std::string& args, const std::string& bench) const {
        const std::string env = std::string("KX48ZZ_D2XX=") + KX_SIM_PATH +
                                " KX48ZZ_SIM='pacing=off;seed=7;bench=" + bench + "' ";
        return runTool(args, p("err.txt"), env);
    }
    std::string err() const { return slurp(m_dir / "err.txt"); }
    std::filesystem::path m_dir;
};

TEST_F(ToolAnalyzeTest, RcLowPassAfterThruCalibration) {
    // 10 kHz .. 1 MHz; R = 10 kOhm, C = 100 pF: 1 / (2 pi R C) = 159.2 kHz.
    std::ofstream(p("sweep.kxs"), std::ios::binary)
        << "[System]\r\nKX48zz_KXS_FILE=1\r\n\r\n[Generator]\r\nFMult=2\r\nFStart=100\r\nFSweep=10000\r\n";
    const ToolRun cal =
        run("analyze na --settings " + p("sweep.kxs") + " --save-response " + p("thru.kxc"), "thru");
    ASSERT_EQ(cal.status, 0) << err();
    EXPECT_EQ(std::filesystem::file_size(p("thru.kxc")), 100u + 16u * 1000u);

    const ToolRun rc =
        run("analyze na --settings " + p("sweep.kxs") + " --cal " + p("thru.kxc") + " --out " + p("rc.csv"),
            "rc:10k:100p");
    ASSERT_EQ(rc.status, 0) << err();
    const std::vector<Row> rows = readResponse(slurp(m_dir / "rc.csv"));
    ASSERT_EQ(rows.size(), 1000u);
    EXPECT_NEAR(rows.front().hz, 10000.0, 1.0);
    EXPECT_NEAR(rows.front().db, 0.0, 0.1); // the pass band reads 0 dB after the thru calibration
    const double target = -3.0103;
    bool found = false;
    for (std::size_t i = 1; i < rows.size() && !found; ++i) {
        if (rows[i - 1].db >= target && rows[i].db < target) {
            const double t = (target - rows[i - 1].db) / (rows[i].db - rows[i - 1].db);
            const double f3 = rows[i - 1].hz + t * (rows[i].hz - rows[i - 1].hz);
            const double deg = rows[i - 1].deg + t * (rows[i].deg - rows[i - 1].deg);
            const double expected = 1.0 / (2.0 * M_PI * 10e3 * 100e-12);
            EXPECT_NEAR(f3, expected, 0.02 * expected);
            EXPECT_NEAR(deg, -45.0, 3.0);
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(ToolAnalyzeTest, CalibrationFilesThatDoNotFitAreRefused) {
    // One byte too long for its count.
    {
        std::ofstream f(p("bad.kxc"), std::ios::binary);
        const std::int32_t head[3] = {1, 10000, 100000000};
        f.write(reinterpret_cast<const char*>(head), sizeof head);
        f << std::string(100 - sizeof head + 16 + 1, '\0');
    }
    const ToolRun na = run("analyze na --cal " + p("bad.kxc") + " --out " + p("x.csv"), "thru");
    EXPECT_EQ(na.status, 1);
    EXPECT_NE(err().find("Wrong file format."), std::string::npos) << err();
    const ToolRun aa = run("analyze aa --cal " + p("missing.kxo") + " --out " + p("x.csv"), "load");
    EXPECT_EQ(aa.status, 1);
    EXPECT_NE(err().find("File not found."), std::string::npos) << err();
    EXPECT_FALSE(std::filesystem::exists(p("x.csv")));
}

TEST_F(ToolAnalyzeTest, AntennaCalibrationAsksForEachStandardAndMeasures) {
    std::ofstream(p("lines.txt")) << "\n\n\n";
    const ToolRun cal = run("analyze aa --calibrate " + p("osl.kxo") + " < " + p("lines.txt"), "load");
    ASSERT_EQ(cal.status, 0) << err();
    EXPECT_EQ(cal.out.find("connect OPEN\nconnect SHORT\nconnect LOAD\nsaved "), 0u) << cal.out;
    EXPECT_EQ(std::filesystem::file_size(p("osl.kxo")), 100u + 48u * 1000u);

    // Uncalibrated, the load reads near 50 Ohm; the Touchstone file carries every point.
    const ToolRun aa = run("analyze aa --out " + p("load.csv") + " --s1p " + p("load.s1p"), "load");
    ASSERT_EQ(aa.status, 0) << err();
    const std::string csv = slurp(m_dir / "load.csv");
    EXPECT_EQ(csv.rfind("frequency_hz,swr,return_loss_db,r_ohm,x_ohm,z_ohm,q,phase_deg\r\n", 0), 0u);
    const std::string s1p = slurp(m_dir / "load.s1p");
    EXPECT_NE(s1p.find("# Hz S RI R 50\r\n"), std::string::npos);
    std::istringstream in(s1p);
    std::string line;
    int points = 0;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '!' && line[0] != '#') ++points;
    EXPECT_EQ(points, 1000);
}

TEST_F(ToolAnalyzeTest, LcMeterPrintsItsMemoAndResult) {
    std::ofstream(p("lines.txt")) << "\n\n";
    // Nothing connected in either step: the calibration succeeds and the memo shows the run.
    const ToolRun lc = run("analyze lc --calibrate < " + p("lines.txt"), "lc:open");
    ASSERT_EQ(lc.status, 0) << err();
    EXPECT_EQ(lc.out.rfind("connect nothing\n", 0), 0u) << lc.out;
    EXPECT_NE(lc.out.find("Calibration ok"), std::string::npos) << lc.out;
    EXPECT_NE(lc.out.find("connect the component\n"), std::string::npos) << lc.out;
    EXPECT_NE(lc.out.find("Test Voltage SIN "), std::string::npos) << lc.out;
}

} // namespace
