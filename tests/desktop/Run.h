// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a shell command for the tests, with its output and status.
#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace kx::testing {

struct Ran {
    int status = -1;
    std::string out; // stdout and stderr together
};

inline Ran run(const std::string& command) {
    Ran r;
    std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (p == nullptr) return r;
    std::array<char, 4096> buf{};
    for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
    const int s = ::pclose(p);
    r.status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    return r;
}

inline std::string quoted(const std::string& s) {
    return "'" + s + "'";
}

} // namespace kx::testing
