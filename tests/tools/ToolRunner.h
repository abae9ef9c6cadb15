// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs kx48zz-tool as a user does and collects what it prints.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace kx::tooltest {

struct ToolRun {
    int status = -1;
    std::string out;
};

// `env` is prefixed to the command line ("NAME=value ...").
inline ToolRun runTool(const std::string& args, const std::string& errFile, const std::string& env = {}) {
    ToolRun r;
    const std::string cmd = env + std::string(KX_TOOL_PATH) + " " + args + " 2>" + errFile;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (p == nullptr) return r;
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::size_t byteCount(const std::string& line) {
    std::istringstream in(line);
    std::string b;
    std::size_t n = 0;
    while (in >> b) ++n;
    return n;
}

} // namespace kx::tooltest
