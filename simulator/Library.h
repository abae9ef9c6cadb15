// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ControlFile.h"
#include "D2xxTypes.h"
#include "Device.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace kx::sim {

// An open handle: the device and the generation it was opened in.
struct Session {
    Device* device = nullptr;
    std::uint64_t generation = 0;
};

// The loaded library: the attached devices (one instrument) and the open handles. Created on first
// use, configured from KX48ZZ_SIM, torn down when the library is unloaded.
class Library {
public:
    static Library& instance();

    Device& device() { return m_device; }
    FT_HANDLE add(std::uint64_t generation);
    std::shared_ptr<Session> find(FT_HANDLE handle) const;
    std::shared_ptr<Session> take(FT_HANDLE handle);

private:
    Library();

    Device m_device;
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Session>> m_sessions;
    std::unique_ptr<ControlFile> m_controlFile; // KX48ZZ_SIM_CONTROL; stops before the device goes
};

} // namespace kx::sim
