// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ProgramPaths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace kx::core {
namespace {

namespace fs = std::filesystem;

// A scratch folder with a build tree and an installed tree side by side.
class ProgramLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("kx_layout_" + std::to_string(::getpid()));
        fs::create_directories(m_root / "build/bin");
        std::ofstream(m_root / "build/CMakeCache.txt") << "# cache\n";
        fs::create_directories(m_root / "usr/bin");
    }
    void TearDown() override { fs::remove_all(m_root); }
    static void touch(const fs::path& p) {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << "x";
    }
    fs::path m_root;
};

TEST_F(ProgramLayoutTest, BuildTreeKeepsTheSimulatorBesideTheProgram) {
    const ProgramLayout build = programLayout(m_root / "build/bin/kx48zz");
    EXPECT_TRUE(build.buildTree);
    EXPECT_EQ(build.exeName, "kx48zz");
    EXPECT_EQ(simulatorLibraryPath(build), "");
    touch(m_root / "build/bin/libkx48zz_sim.so");
    EXPECT_EQ(simulatorLibraryPath(build), (m_root / "build/bin/libkx48zz_sim.so").string());
}

TEST_F(ProgramLayoutTest, InstalledTreeFindsItsFoldersBelowThePrefix) {
    const ProgramLayout installed = programLayout(m_root / "usr/bin/kx48zz");
    EXPECT_FALSE(installed.buildTree);
    // Both folders sit under the same prefix as bin/, whatever the prefix is.
    const auto under = [&](const fs::path& p) {
        const std::string s = p.string();
        return s.rfind((m_root / "usr").string() + "/", 0) == 0 && s.find("..") == std::string::npos;
    };
    EXPECT_TRUE(under(installed.docDir())) << installed.docDir();
    EXPECT_TRUE(under(installed.privateLibDir())) << installed.privateLibDir();
    EXPECT_EQ(installed.docDir().filename(), "kx48zz");
    EXPECT_EQ(installed.privateLibDir().filename(), "kx48zz");

    // A simulator beside an installed program is not the installed one.
    touch(m_root / "usr/bin/libkx48zz_sim.so");
    EXPECT_EQ(simulatorLibraryPath(installed), "");
    touch(installed.privateLibDir() / "libkx48zz_sim.so");
    EXPECT_EQ(simulatorLibraryPath(installed), (installed.privateLibDir() / "libkx48zz_sim.so").string());
}

TEST(UserConfigDir, XdgThenHome) {
    EXPECT_EQ(userConfigDir("/xdg", "/home/u"), fs::path("/xdg/kx48zz"));
    EXPECT_EQ(userConfigDir("relative", "/home/u"), fs::path("/home/u/.config/kx48zz"));
    EXPECT_EQ(userConfigDir(nullptr, "/home/u"), fs::path("/home/u/.config/kx48zz"));
    EXPECT_EQ(userConfigDir(nullptr, nullptr), fs::path(".config/kx48zz"));
}

TEST(ProgramVersion, IsThreeNumbers) {
    const std::string v = programVersion();
    int a = -1, b = -1, c = -1;
    ASSERT_EQ(std::sscanf(v.c_str(), "%d.%d.%d", &a, &b, &c), 3) << v;
    EXPECT_FALSE(executablePath().empty());
}

} // namespace
} // namespace kx::core
