// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <thread>

namespace kx::sim {

// Lets a person at the keyboard inject faults into a running program: every time the file at
// `path` changes, its text (items separated by ';' or line breaks) goes to `apply`, as
// kxsim_control would take it. `echo unplug > FILE` pulls the cable.
class ControlFile {
public:
    ControlFile(std::string path, std::function<int(const std::string&)> apply);
    ~ControlFile();
    ControlFile(const ControlFile&) = delete;
    ControlFile& operator=(const ControlFile&) = delete;

    // The text as kxsim_control takes it: line breaks become separators, blanks at the ends go.
    static std::string commandsOf(const std::string& text);

    struct Stamp {
        bool exists = false;
        long long seconds = 0;
        long long nanoseconds = 0;
        long long size = 0;
        bool operator==(const Stamp&) const = default;
    };

private:
    void watch(const std::stop_token& stop, const Stamp& start);

    std::string m_path;
    std::function<int(const std::string&)> m_apply;
    std::jthread m_thread;
};

} // namespace kx::sim
