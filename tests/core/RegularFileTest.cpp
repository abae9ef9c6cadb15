// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RegularFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using kx::core::FileReadStatus;
using kx::core::readRegularFile;

namespace fs = std::filesystem;

namespace {

class RegularFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("kx_regular_file_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string put(const std::string& name, const std::string& text) {
        const auto p = dir / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }

    fs::path dir;
};

TEST_F(RegularFile, ReadsAFileUpToItsLimit) {
    std::string out = "old";
    EXPECT_EQ(readRegularFile(put("a.txt", "hello"), 5, out), FileReadStatus::Ok);
    EXPECT_EQ(out, "hello");
    EXPECT_EQ(readRegularFile(put("empty.txt", ""), 5, out), FileReadStatus::Ok);
    EXPECT_EQ(out, "");
    EXPECT_EQ(readRegularFile(put("b.txt", "hello!"), 5, out), FileReadStatus::TooLarge);
    EXPECT_EQ(out, "");
}

TEST_F(RegularFile, RefusesWhatIsNoFile) {
    const std::string fifo = (dir / "pipe.kxs").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto zeroLink = dir / "zero.kxg";
    fs::create_symlink("/dev/zero", zeroLink);
    // A large sparse file takes no room on disk and no time to make.
    const auto huge = dir / "huge.kxg";
    std::ofstream(huge).close();
    fs::resize_file(huge, 200u << 20);

    const struct {
        std::string path;
        FileReadStatus expected;
    } cases[] = {
        {"/dev/zero", FileReadStatus::NotRegular},
        {zeroLink.string(), FileReadStatus::NotRegular},
        {fifo, FileReadStatus::NotRegular}, // and does not wait for a writer
        {huge.string(), FileReadStatus::TooLarge},
        {dir.string(), FileReadStatus::Missing},
        {(dir / "missing").string(), FileReadStatus::Missing},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(readRegularFile(c.path, 4u << 20, out), c.expected) << c.path;
        EXPECT_TRUE(out.empty()) << c.path;
    }
}

} // namespace
