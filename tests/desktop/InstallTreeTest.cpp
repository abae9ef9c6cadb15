// SPDX-License-Identifier: GPL-3.0-or-later
// `cmake --install` into a scratch prefix: every file where the package puts it, with its mode,
// nothing else, and the installed programs run from there.
#include "Run.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using kx::testing::quoted;
using kx::testing::run;

class InstallTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix = fs::temp_directory_path() / ("kx_install_" + std::to_string(::getpid()));
        fs::remove_all(prefix);
        installed = run(std::string(quoted(KX_CMAKE)) + " --install " + quoted(KX_BINARY_DIR) + " --prefix " +
                        quoted(prefix.string()));
    }
    static void TearDownTestSuite() { fs::remove_all(prefix); }
    void SetUp() override { ASSERT_EQ(installed.status, 0) << installed.out; }

    static std::string at(const std::string& relative) { return (prefix / relative).string(); }

    static inline fs::path prefix;
    static inline kx::testing::Ran installed;
};

// The width and height of a PNG file, from its header.
bool pngSize(const std::string& path, std::uint32_t& w, std::uint32_t& h) {
    std::ifstream in(path, std::ios::binary);
    unsigned char b[24] = {};
    if (!in.read(reinterpret_cast<char*>(b), sizeof b) || b[1] != 'P' || b[2] != 'N' || b[3] != 'G')
        return false;
    w = (std::uint32_t{b[16]} << 24) | (std::uint32_t{b[17]} << 16) | (std::uint32_t{b[18]} << 8) | b[19];
    h = (std::uint32_t{b[20]} << 24) | (std::uint32_t{b[21]} << 16) | (std::uint32_t{b[22]} << 8) | b[23];
    return true;
}

TEST_F(InstallTree, EveryFileInItsPlaceWithItsModeAndNothingElse) {
    const std::string bin = KX_INSTALL_BINDIR;
    const std::string data = KX_INSTALL_DATADIR;
    const std::string doc = KX_INSTALL_DOCDIR;
    const std::string man = KX_INSTALL_MANDIR;
    std::map<std::string, unsigned> expected = {
        {bin + "/kx48zz", 0755},
        {bin + "/kx48zz-tool", 0755},
        // Loaded by the program only, never run: not executable.
        {std::string(KX_PRIVATE_LIBDIR) + "/libkx48zz_sim.so", 0644},
        {data + "/applications/kx48zz.desktop", 0644},
        {data + "/mime/packages/kx48zz.xml", 0644},
        {std::string(KX_UDEV_RULES_DIR) + "/70-kx48zz.rules", 0644},
        {data + "/icons/hicolor/scalable/apps/kx48zz.svg", 0644},
        {doc + "/kx48zz.pdf", 0644},
        {doc + "/kx48zz-ru.pdf", 0644},
        {doc + "/copyright", 0644},
        {doc + "/changelog.gz", 0644},
        {man + "/man1/kx48zz.1.gz", 0644},
        {man + "/man1/kx48zz-tool.1.gz", 0644},
    };
    const unsigned sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
    for (unsigned s : sizes)
        expected[data + "/icons/hicolor/" + std::to_string(s) + "x" + std::to_string(s) +
                 "/apps/kx48zz.png"] = 0644;

    std::map<std::string, unsigned> found;
    for (const auto& e : fs::recursive_directory_iterator(prefix)) {
        struct stat st {};
        ASSERT_EQ(::lstat(e.path().c_str(), &st), 0);
        if (S_ISDIR(st.st_mode)) {
            EXPECT_EQ(st.st_mode & 07777, 0755u) << e.path();
            continue;
        }
        EXPECT_TRUE(S_ISREG(st.st_mode)) << e.path();
        found[fs::relative(e.path(), prefix).string()] = st.st_mode & 07777;
    }
    EXPECT_EQ(found, expected);

    // Each icon is drawn at the size of its folder.
    for (unsigned s : sizes) {
        std::uint32_t w = 0, h = 0;
        const std::string icon =
            at(data + "/icons/hicolor/" + std::to_string(s) + "x" + std::to_string(s) + "/apps/kx48zz.png");
        ASSERT_TRUE(pngSize(icon, w, h)) << icon;
        EXPECT_EQ(w, s) << icon;
        EXPECT_EQ(h, s) << icon;
    }
    // Compressed as Debian wants: gzip without name or time stamp.
    std::ifstream gz(at(doc + "/changelog.gz"), std::ios::binary);
    unsigned char head[10] = {};
    ASSERT_TRUE(gz.read(reinterpret_cast<char*>(head), sizeof head));
    EXPECT_EQ(head[0], 0x1f);
    EXPECT_EQ(head[3] & 0x08, 0) << "the file name is stored";
    EXPECT_EQ(head[4] | head[5] | head[6] | head[7], 0) << "a time stamp is stored";
}

TEST_F(InstallTree, InstalledProgramsRunFromTheTree) {
    const std::string bin = at(KX_INSTALL_BINDIR);
    EXPECT_EQ(run(quoted(bin + "/kx48zz") + " --version").out, std::string("kx48zz ") + KX_VERSION + "\n");
    EXPECT_EQ(run(quoted(bin + "/kx48zz-tool") + " --version").out,
              std::string("kx48zz-tool ") + KX_VERSION + "\n");

    // --help: one line for each command, its name first, then what it does.
    const kx::testing::Ran help = run(quoted(bin + "/kx48zz-tool") + " --help");
    ASSERT_EQ(help.status, 0) << help.out;
    std::istringstream lines(help.out);
    std::map<std::string, std::string> commands;
    bool inList = false;
    for (std::string line; std::getline(lines, line);) {
        if (line == "commands:")
            inList = true;
        else if (line.empty())
            inList = false;
        else if (inList) {
            std::istringstream words(line);
            std::string name, first;
            words >> name >> first;
            commands[name] = first;
        }
    }
    for (const char* c : {"frame", "settings", "probe", "capture", "info", "awg", "decode", "spectrum"}) {
        ASSERT_TRUE(commands.count(c)) << c << " missing from:\n" << help.out;
        EXPECT_FALSE(commands[c].empty()) << c << " has no description";
    }

    // The installed simulator is found from the installed tool, wherever the tree lies.
    const kx::testing::Ran probe =
        run("KX48ZZ_SIM='pacing=off' " + quoted(bin + "/kx48zz-tool") + " --simulator probe --seconds 1");
    EXPECT_EQ(probe.status, 0) << probe.out;
    EXPECT_NE(probe.out.find("Model: KX4823"), std::string::npos) << probe.out;
}

} // namespace
