// SPDX-License-Identifier: GPL-3.0-or-later
// kx48zz-tool settings and frame, run as a user runs them, on files written by hand.
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace kx::tooltest;

class ToolSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("kx_tool_settings_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        write("prog.ini", "[System]\r\nKX48zz_INI_FILE=1\r\nWIN_DT=0x0023\r\n\r\n[Scope]\r\n1mS=0\r\n1uS="
                          "1\r\n\r\n[Trigger]\r\nOn=1\r\nSrc=1\r\n");
        write("user.kxs", "[System]\r\nKX48zz_KXS_FILE=1\r\n\r\n[Scope]\r\n1mS=0\r\n1uS=1\r\n\r\n[Trigger]"
                          "\r\nOn=1\r\nSrc=1\r\n");
        write("old.kxs", "[System]\r\nKX48_KXS_FILE=1\r\n");
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    void write(const char* name, const std::string& text) {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }
    std::string p(const char* name) const { return (m_dir / name).string(); }
    std::string err() const { return slurp(m_dir / "err.txt"); }
    ToolRun run(const std::string& args) const { return runTool(args, p("err.txt")); }
    std::filesystem::path m_dir;
};

TEST_F(ToolSettingsTest, SettingsCommandConvertsAndRefuses) {
    ToolRun r = run("settings " + p("prog.ini") + " " + p("out.kxs"));
    EXPECT_EQ(r.status, 0);
    const std::string out = slurp(m_dir / "out.kxs");
    EXPECT_EQ(out.rfind("[System]\r\nKX48zz_KXS_FILE=1\r\n", 0), 0u);
    EXPECT_NE(out.find("WIN_DT=0x0023\r\n"), std::string::npos);
    EXPECT_NE(out.find("\r\n1uS=1\r\n"), std::string::npos);

    r = run("settings " + p("old.kxs") + " " + p("out2.kxs"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(err().find("2.xx"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "out2.kxs"));
}

TEST_F(ToolSettingsTest, FrameCommandPrintsTheFirstBody) {
    const ToolRun plain = run("frame");
    ASSERT_EQ(plain.status, 0);
    EXPECT_EQ(byteCount(plain.out), 131u);
    EXPECT_EQ(plain.out.substr(39 * 3, 2), "01"); // sequence number 1

    // The program file's model and the same model given by hand give the same frame.
    const ToolRun fromProgram = run("frame " + p("prog.ini"));
    const ToolRun byHand = run("frame --model 0x23 " + p("user.kxs"));
    ASSERT_EQ(fromProgram.status, 0);
    EXPECT_EQ(fromProgram.out, byHand.out);
    EXPECT_NE(fromProgram.out, plain.out);
    // Without an A2 input the A2 trigger is switched off.
    EXPECT_NE(run("frame --model 0x20 " + p("prog.ini")).out, fromProgram.out);

    // Both tables owed at start-up: one frame each, back to back, the zero-offset table first.
    const ToolRun tables = run("frame --tables");
    ASSERT_EQ(tables.status, 0);
    std::istringstream lines(tables.out);
    std::string first, second, more;
    ASSERT_TRUE(std::getline(lines, first));
    ASSERT_TRUE(std::getline(lines, second));
    EXPECT_FALSE(std::getline(lines, more));
    ASSERT_EQ(byteCount(first), 198u);
    ASSERT_EQ(byteCount(second), 198u);
    EXPECT_EQ(first.substr(0, 5), "C3 05");    // L = 195, five blocks
    EXPECT_EQ(first.substr(39 * 3, 2), "01");  // sequence 1
    EXPECT_EQ(second.substr(39 * 3, 2), "02"); // then 2
    EXPECT_EQ(first.substr(129 * 3, 8), "40 00 F4");
    EXPECT_EQ(second.substr(129 * 3, 8), "40 00 F6");

    EXPECT_EQ(run("frame " + p("old.kxs")).status, 1);
    EXPECT_EQ(run("frame --model").status, 2);
}

} // namespace
