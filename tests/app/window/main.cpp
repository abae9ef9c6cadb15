// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    // The offscreen platform on a desktop-sized screen (its default is 800 x 600, narrower than
    // the main window), so window placement can be seen.
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("kx_window_screen_" + std::to_string(::getpid()) + ".json");
    std::ofstream(config)
        << R"({"screens": [{"name": "desk", "x": 0, "y": 0, "width": 1600, "height": 1000}]})";
    std::string platform = "offscreen:configfile=" + config.string();
    std::vector<char*> args(argv, argv + argc);
    std::string flag = "-platform";
    args.insert(args.begin() + 1, {flag.data(), platform.data()});
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    QApplication app(count, args.data());
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove(config);
    return result;
}
