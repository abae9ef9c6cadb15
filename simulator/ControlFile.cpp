// SPDX-License-Identifier: GPL-3.0-or-later
#include "ControlFile.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace kx::sim {

namespace {

constexpr auto kPoll = std::chrono::milliseconds(200);
constexpr std::size_t kMaxText = 4096;

ControlFile::Stamp stampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return {true, static_cast<long long>(st.st_mtim.tv_sec), static_cast<long long>(st.st_mtim.tv_nsec),
            static_cast<long long>(st.st_size)};
}

} // namespace

ControlFile::ControlFile(std::string path, std::function<int(const std::string&)> apply)
    : m_path(std::move(path)), m_apply(std::move(apply)) {
    // What the file holds now, before the program runs, is not a new command.
    const Stamp start = stampOf(m_path);
    m_thread = std::jthread([this, start](std::stop_token stop) { watch(stop, start); });
}

ControlFile::~ControlFile() {
    m_thread.request_stop();
}

std::string ControlFile::commandsOf(const std::string& text) {
    std::string out;
    for (char c : text) out.push_back(c == '\n' || c == '\r' ? ';' : c);
    const auto first = out.find_first_not_of(" \t;");
    if (first == std::string::npos) return {};
    const auto last = out.find_last_not_of(" \t;");
    return out.substr(first, last - first + 1);
}

void ControlFile::watch(const std::stop_token& stop, const Stamp& start) {
    Stamp seen = start;
    while (!stop.stop_requested()) {
        std::this_thread::sleep_for(kPoll);
        const Stamp now = stampOf(m_path);
        if (now == seen) continue;
        seen = now;
        if (!now.exists || now.size <= 0 || static_cast<std::size_t>(now.size) > kMaxText) continue;
        std::ifstream in(m_path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const std::string commands = commandsOf(text.str());
        if (commands.empty()) continue;
        if (m_apply(commands) != 0)
            std::fprintf(stderr, "kx48zz simulator: ignored unknown items in %s: \"%s\"\n", m_path.c_str(),
                         commands.c_str());
    }
}

} // namespace kx::sim
