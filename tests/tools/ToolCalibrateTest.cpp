// SPDX-License-Identifier: GPL-3.0-or-later
// kx48zz-tool calibrate zero against an aged simulated unit with grounded inputs: before, the
// inputs sit off their zero lines; after --write they sit on them at 1 V, 100 mV and 10 mV/div,
// also after a restart that reads the table back from the kept flash.
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

using namespace kx::tooltest;

// "ZeroA1", "SumA1", ... as kx48zz-tool info prints them.
std::map<std::string, double> headerWords(const std::string& info) {
    std::map<std::string, double> words;
    std::istringstream in(info);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream l(line);
        std::string index, name, value;
        if (l >> index >> name >> value) {
            try {
                words[name] = std::stod(value);
            } catch (...) {
            }
        }
    }
    return words;
}

class ToolCalibrateTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("kx_tool_calibrate_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string p(const std::string& name) const { return (m_dir / name).string(); }
    ToolRun run(const std::string& args, const std::string& bench = "a1=ground;a2=ground") const {
        const std::string env = std::string("KX48ZZ_D2XX=") + KX_SIM_PATH +
                                " KX48ZZ_SIM='pacing=off;unit=drifted;seed=7;" + bench +
                                ";flash_file=" + p("flash.txt") + "' ";
        return runTool(args, p("err.txt"), env);
    }
    std::string err() const { return slurp(m_dir / "err.txt"); }

    // Distance of each grounded input from its zero line in 8-bit steps, at a volts/div key. A
    // program settings file names the model, so A2 is its own input, not the generator's route.
    std::array<double, 2> offsets(const std::string& range) {
        const std::string name = "r" + range;
        std::ofstream(p(name + ".kxs"), std::ios::binary)
            << "[System]\r\nKX48zz_INI_FILE=1\r\nWIN_DT=0x0023\r\n\r\n[Common]\r\nCH_A1=1\r\nCH_A2=1\r\nCH_"
               "GEN=0\r\n\r\n[Scope]\r\nA1_1V=0\r\nA1_"
            << range << "=1\r\nA2_1V=0\r\nA2_" << range << "=1\r\n";
        const ToolRun cap =
            run("capture --settings " + p(name + ".kxs") + " --frames 2 --out " + p(name + ".kxd"));
        EXPECT_EQ(cap.status, 0) << err();
        const ToolRun info = run("info " + p(name + ".kxd"));
        EXPECT_EQ(info.status, 0) << err();
        auto w = headerWords(info.out);
        const double n = w["AnalogCount"];
        EXPECT_GT(n, 0) << info.out;
        if (n <= 0) return {99.0, 99.0};
        return {(w["SumA1"] / n - w["ZeroA1"]) / 256.0, (w["SumA2"] / n - w["ZeroA2"]) / 256.0};
    }
    std::filesystem::path m_dir;
};

TEST_F(ToolCalibrateTest, WrittenTableBringsTheZeroLinesBackAndSurvivesARestart) {
    const auto before = offsets("10mV");
    EXPECT_GT(std::abs(before[0]), 1.0);
    EXPECT_GT(std::abs(before[1]), 1.0);

    const ToolRun cal = run("calibrate zero --write");
    ASSERT_EQ(cal.status, 0) << err() << cal.out;
    EXPECT_NE(cal.out.find("step 7 of 7"), std::string::npos) << cal.out;
    EXPECT_NE(cal.out.find("zero table:"), std::string::npos) << cal.out;
    EXPECT_NE(cal.out.find("written: the instrument keeps the table"), std::string::npos) << cal.out;

    // Each capture is a new start of the program: the table comes back from the kept flash.
    for (const char* range : {"1V", "100mV", "10mV"}) {
        SCOPED_TRACE(range);
        const auto after = offsets(range);
        EXPECT_LT(std::abs(after[0]), 0.25);
        EXPECT_LT(std::abs(after[1]), 0.25);
    }
}

TEST_F(ToolCalibrateTest, ASignalOnA1FailsAndChangesNothing) {
    const ToolRun cal = run("calibrate zero --write", "a1=calibrator;a2=ground");
    EXPECT_EQ(cal.status, 1);
    EXPECT_NE(err().find("Calibration failed."), std::string::npos) << err();
    EXPECT_EQ(cal.out.find("written"), std::string::npos);
    // The flash still holds the tables the unit was shipped with: still off at 10 mV/div.
    EXPECT_GT(std::abs(offsets("10mV")[0]), 1.0);
}

TEST_F(ToolCalibrateTest, BadArgumentsShowTheUsage) {
    for (const char* args : {"calibrate", "calibrate system", "calibrate zero --now"}) {
        SCOPED_TRACE(args);
        const ToolRun r = runTool(args, p("err.txt"));
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(err().find("usage: kx48zz-tool calibrate zero [--write]"), std::string::npos);
    }
}

} // namespace
