// SPDX-License-Identifier: GPL-3.0-or-later
// The soak's fault plan and its command line. The run itself (30 s against the simulator) is a
// step of scripts/test.
#include "SoakPlan.h"
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <set>
#include <unistd.h>

namespace kx::tool {
namespace {

TEST(SoakPlan, SeededFaultsCoverEveryKindAndCanBeUndone) {
    SoakPlan a(42), b(42), c(43);
    std::set<SoakFault> kinds;
    bool differs = false;
    double at = 0;
    for (int i = 0; i < 60; ++i) {
        const SoakEvent e = a.next(at);
        const SoakEvent same = b.next(at);
        EXPECT_EQ(e.atSeconds, same.atSeconds);
        EXPECT_EQ(e.make, same.make);
        differs = differs || c.next(at).make != e.make;
        EXPECT_GE(e.atSeconds, at + 4);
        EXPECT_LE(e.atSeconds, at + 15);
        EXPECT_FALSE(e.make.empty());
        // What a user repairs has its repair; lost acknowledgements end by themselves.
        EXPECT_EQ(e.undo.empty(), e.fault == SoakFault::LostAcks) << soakFaultName(e.fault);
        kinds.insert(e.fault);
        at = e.atSeconds;
    }
    EXPECT_EQ(kinds.size(), 5u);
    EXPECT_TRUE(differs);
}

TEST(SoakCommand, RefusesBadArguments) {
    const std::string err = "/tmp/kx_soak_err_" + std::to_string(::getpid());
    for (const char* args : {"soak", "soak --minutes", "soak --minutes 0", "soak --minutes x",
                             "soak --minutes 1 --seed -3", "soak --minutes 1 --bogus"}) {
        const auto r = tooltest::runTool(args, err);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(tooltest::slurp(err).find("usage: kx48zz-tool --simulator soak --minutes N"),
                  std::string::npos)
            << args;
    }
    std::remove(err.c_str());
}

} // namespace
} // namespace kx::tool
