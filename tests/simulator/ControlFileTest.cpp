// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's control file: what a person writes into it reaches the instrument.
#include "ControlFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kx::sim {
namespace {

TEST(ControlFileText, LinesBecomeItems) {
    struct Case {
        const char* text;
        const char* commands;
    };
    const Case cases[] = {
        {"unplug\n", "unplug"},
        {"power=off\r\nflash=fail\n", "power=off;;flash=fail"},
        {"  supply=4300  \n", "supply=4300"},
        {"\n\n", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ControlFile::commandsOf(c.text), c.commands) << c.text;
}

class ControlFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = std::filesystem::temp_directory_path() / ("kxsim_ctl_" + std::to_string(::getpid()));
        std::filesystem::remove(m_path);
    }
    void TearDown() override { std::filesystem::remove(m_path); }
    void write(const char* text) {
        std::ofstream(m_path, std::ios::binary | std::ios::trunc) << text;
        // A later write within the same timestamp tick still differs in size or time.
        std::filesystem::last_write_time(m_path, std::filesystem::file_time_type::clock::now() + m_bump);
        m_bump += std::chrono::seconds(1);
    }
    std::vector<std::string> waitFor(std::size_t n) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < until) {
            {
                std::lock_guard lock(m_mutex);
                if (m_seen.size() >= n) return m_seen;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::lock_guard lock(m_mutex);
        return m_seen;
    }
    int apply(const std::string& commands) {
        std::lock_guard lock(m_mutex);
        m_seen.push_back(commands);
        return 0;
    }
    std::filesystem::path m_path;
    std::chrono::seconds m_bump{1};
    std::mutex m_mutex;
    std::vector<std::string> m_seen;
};

TEST_F(ControlFileTest, EachChangeIsAppliedOnceAndTheStartingTextIsNot) {
    write("replug\n"); // there before the program started
    ControlFile file(m_path.string(), [this](const std::string& c) { return apply(c); });
    write("unplug\n");
    ASSERT_EQ(waitFor(1), std::vector<std::string>{"unplug"});
    write("replug\n");
    const auto seen = waitFor(2);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], "replug");
}

TEST_F(ControlFileTest, MissingOrEmptyFileIsLeftAlone) {
    ControlFile file(m_path.string(), [this](const std::string& c) { return apply(c); });
    write("\n");
    write("power=off\n");
    // The blank write says nothing; the next one does.
    EXPECT_EQ(waitFor(1), std::vector<std::string>{"power=off"});
}

} // namespace
} // namespace kx::sim
