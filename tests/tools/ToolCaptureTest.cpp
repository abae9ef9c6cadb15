// SPDX-License-Identifier: GPL-3.0-or-later
// kx48zz-tool capture against the simulated instrument, then info, spectrum and decode on the
// files it wrote.
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

using namespace kx::tooltest;

class ToolCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("kx_tool_capture_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string p(const char* name) const { return (m_dir / name).string(); }
    ToolRun run(const std::string& args, const std::string& bench = "") const {
        const std::string env =
            std::string("KX48ZZ_D2XX=") + KX_SIM_PATH + " KX48ZZ_SIM='pacing=off;seed=7" + bench + "' ";
        return runTool(args, p("err.txt"), env);
    }
    // A word of `info`'s listing ("40..41   SumA1   163840000").
    static double infoWord(const std::string& listing, const std::string& name) {
        const auto at = listing.find(" " + name + " ");
        if (at == std::string::npos) return -1e300;
        return std::stod(listing.substr(at + name.size() + 2));
    }
    std::string err() const { return slurp(m_dir / "err.txt"); }
    std::filesystem::path m_dir;
};

TEST_F(ToolCaptureTest, CapturedFileCarriesTheSettingsItWasTakenWith) {
    {
        std::ofstream(p("input.kxs"), std::ios::binary)
            << "[System]\r\nKX48zz_KXS_FILE=1\r\n\r\n[Scope]\r\n1mS=0\r\n1uS=1\r\n";
    }
    const ToolRun cap = run("capture --settings " + p("input.kxs") + " --frames 2 --out " + p("fast.kxd"));
    ASSERT_EQ(cap.status, 0) << err();
    EXPECT_NE(cap.out.find("frame "), std::string::npos);
    EXPECT_NE(cap.out.find("SamplePeriodPs=5000 "), std::string::npos) << cap.out;
    ASSERT_TRUE(std::filesystem::exists(p("fast.kxs")));
    // The companion settings file is written from the state the frames were taken with.
    const std::string companion = slurp(p("fast.kxs"));
    EXPECT_NE(companion.find("KX48zz_KXS_FILE=1\r\n"), std::string::npos);
    EXPECT_NE(companion.find("1uS=1\r\n"), std::string::npos);
    EXPECT_NE(companion.find("1mS=0\r\n"), std::string::npos);

    const ToolRun info = run("info " + p("fast.kxd"));
    ASSERT_EQ(info.status, 0) << err();
    EXPECT_NE(info.out.find("SamplePeriodPs       5000\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Background part: no"), std::string::npos);
}

TEST_F(ToolCaptureTest, GroundedInputsSitOnTheirZeroLinesWithTheInstrumentsTables) {
    for (const char* range : {"1V", "100mV", "10mV"}) {
        SCOPED_TRACE(range);
        std::ofstream(p("ground.kxs"), std::ios::binary)
            << "[System]\r\nKX48zz_KXS_FILE=1\r\n\r\n[Common]\r\nCH_A1=1\r\nCH_A2=1\r\n\r\n[Scope]\r\nA1_"
            << range << "=1\r\nA2_" << range << "=1\r\nA1_Zero=32768\r\nA2_Zero=32768\r\n";
        ASSERT_EQ(run("capture --settings " + p("ground.kxs") + " --frames 2 --out " + p("ground.kxd"),
                      ";a1=ground;a2=ground")
                      .status,
                  0)
            << err();
        const ToolRun info = run("info " + p("ground.kxd"));
        ASSERT_EQ(info.status, 0) << err();
        const double count = infoWord(info.out, "AnalogCount");
        ASSERT_GT(count, 0) << info.out;
        // Within a quarter of an 8-bit step of the zero line (32768).
        EXPECT_NEAR(infoWord(info.out, "SumA1") / count, 32768.0, 64.0) << info.out;
        EXPECT_NEAR(infoWord(info.out, "SumA2") / count, 32768.0, 64.0) << info.out;
    }
}

TEST_F(ToolCaptureTest, SpectrumAndDecoderSeeTheBench) {
    // 5 ms/div: 50 ms of signal, so the UART's idle gap lies inside and the decoder finds the
    // character boundaries.
    {
        std::ofstream(p("slow.kxs"), std::ios::binary)
            << "[System]\r\nKX48zz_KXS_FILE=1\r\n\r\n[Scope]\r\n1mS=0\r\n5mS=1\r\n\r\n[Common]\r\n"
               "Smpl_N_5000=0\r\nSmpl_N_20000=1\r\n\r\n[Decoders]\r\nType=1\r\nBaud_Rate=9600\r\n"
               "RXD=3\r\nTXD=0\r\nDisplay=2\r\n";
    }
    ASSERT_EQ(run("capture --settings " + p("slow.kxs") + " --out " + p("slow.kxd")).status, 0) << err();

    const ToolRun spectrum = run("spectrum " + p("slow.kxd") + " --channel A1");
    ASSERT_EQ(spectrum.status, 0) << err();
    // The calibrator: 1 kHz.
    const auto at = spectrum.out.find("peak frequency");
    ASSERT_NE(at, std::string::npos) << spectrum.out;
    std::size_t used = 0;
    double hz = std::stod(spectrum.out.substr(at + 14), &used);
    if (spectrum.out.compare(at + 14 + used, 4, " KHz") == 0) hz *= 1000;
    EXPECT_NEAR(hz, 1000.0, 5.0) << spectrum.out;

    const ToolRun decode = run("decode " + p("slow.kxd"));
    ASSERT_EQ(decode.status, 0) << err();
    // The ASCII listing breaks lines every 32 characters, so look for the words.
    EXPECT_NE(decode.out.find("KX48zz"), std::string::npos) << decode.out;
    EXPECT_NE(decode.out.find("Hello"), std::string::npos) << decode.out;
}

TEST_F(ToolCaptureTest, DecodeWritesBothLinesToOneCsvInTimeOrder) {
    // RXD: the bench's D1 text; TXD: a second 9600 baud text on D2.
    {
        std::ofstream(p("both.kxs"), std::ios::binary)
            << "[System]\r\nKX48zz_KXS_FILE=1\r\n\r\n[Scope]\r\n1mS=0\r\n5mS=1\r\n\r\n[Common]\r\n"
               "Smpl_N_5000=0\r\nSmpl_N_20000=1\r\n\r\n[Decoders]\r\nType=1\r\nBaud_Rate=9600\r\n"
               "RXD=3\r\nTXD=4\r\n";
    }
    const std::string env = std::string("KX48ZZ_D2XX=") + KX_SIM_PATH +
                            " KX48ZZ_SIM='pacing=off;seed=7;d2=uart:9600:8N1:Tx line\\r\\n' ";
    ASSERT_EQ(
        runTool("capture --settings " + p("both.kxs") + " --out " + p("both.kxd"), p("err.txt"), env).status,
        0)
        << err();

    const ToolRun decode = run("decode " + p("both.kxd") + " --csv " + p("both.csv"));
    ASSERT_EQ(decode.status, 0) << err();
    EXPECT_NE(decode.out.find("wrote "), std::string::npos);
    std::istringstream csv(slurp(p("both.csv")));
    std::string row;
    std::getline(csv, row);
    EXPECT_EQ(row, "Time (s),Line,Value,Char,Parity error,Framing error\r");
    std::string rxd, txd;
    double previous = -1e9;
    while (std::getline(csv, row)) {
        const double t = std::stod(row);
        EXPECT_GE(t, previous) << row;
        previous = t;
        // The character column holds a quoted printable character or nothing.
        const auto quote = row.find('"');
        const char c = quote == std::string::npos ? '?' : row[quote + 1];
        (row.find(",RXD,") != std::string::npos ? rxd : txd) += c;
    }
    EXPECT_NE(rxd.find("Hello from KX48zz"), std::string::npos) << rxd;
    EXPECT_NE(txd.find("Tx line"), std::string::npos) << txd;

    // Nothing to write: said so, and a failure.
    const ToolRun none = run("decode " + p("both.kxd") + " --rxd 0 --txd 0 --csv " + p("none.csv"));
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(err().find("No data for writing."), std::string::npos) << err();
    EXPECT_FALSE(std::filesystem::exists(p("none.csv")));
}

TEST_F(ToolCaptureTest, NoLibraryMeansCode100) {
    const ToolRun cap = runTool("capture --out " + p("x.kxd"), p("err.txt"), "KX48ZZ_D2XX=/nonexistent.so ");
    EXPECT_EQ(cap.status, 1);
    EXPECT_NE(err().find("Can't load libftd2xx.so"), std::string::npos) << err();
    EXPECT_FALSE(std::filesystem::exists(p("x.kxd")));
}

} // namespace
