// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kx::app {
namespace {

TEST(CommandLine, SwitchesAreTakenOutAndFilesKeptInOrder) {
    struct Case {
        std::vector<std::string> args;
        bool version, help, simulator;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {{}, false, false, false, {}},
        {{"a.kxd"}, false, false, false, {"a.kxd"}},
        {{"--simulator", "/x/a.kxs"}, false, false, true, {"/x/a.kxs"}},
        // The window opens the last parameter: a switch after the file must not take its place.
        {{"a.kxd", "--simulator"}, false, false, true, {"a.kxd"}},
        {{"--version"}, true, false, false, {}},
        {{"-h"}, false, true, false, {}},
        {{"--", "--help", "-h"}, false, false, false, {"--help", "-h"}},
        {{"--simulator", "--", "--simulator"}, false, false, true, {"--simulator"}},
        {{"--unknown"}, false, false, false, {"--unknown"}},
    };
    for (const Case& c : cases) {
        const CommandLine cl = parseCommandLine(c.args);
        const std::string what = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(cl.version, c.version) << what;
        EXPECT_EQ(cl.help, c.help) << what;
        EXPECT_EQ(cl.simulator, c.simulator) << what;
        EXPECT_EQ(cl.files, c.files) << what;
    }
}

TEST(CommandLine, UsageNamesEverySwitch) {
    const std::string usage = commandLineUsage("kx48zz");
    for (const char* s : {"--simulator", "--version", "--help"})
        EXPECT_NE(usage.find(s), std::string::npos) << s;
}

} // namespace
} // namespace kx::app
