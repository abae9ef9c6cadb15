// SPDX-License-Identifier: GPL-3.0-or-later
#include "Library.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kx::sim {

Library& Library::instance() {
    static Library library;
    return library;
}

Library::Library() {
    if (const char* config = std::getenv("KX48ZZ_SIM"); config != nullptr) {
        if (m_device.control(config) != 0)
            std::fprintf(stderr, "kx48zz simulator: ignored unknown items in KX48ZZ_SIM=\"%s\"\n", config);
    }
    if (const char* path = std::getenv("KX48ZZ_SIM_CONTROL"); path != nullptr && *path != '\0')
        m_controlFile = std::make_unique<ControlFile>(
            path, [this](const std::string& commands) { return m_device.control(commands.c_str()); });
}

FT_HANDLE Library::add(std::uint64_t generation) {
    auto session = std::make_shared<Session>();
    session->device = &m_device;
    session->generation = generation;
    std::lock_guard lock(m_mutex);
    m_sessions.push_back(session);
    return session.get();
}

std::shared_ptr<Session> Library::find(FT_HANDLE handle) const {
    std::lock_guard lock(m_mutex);
    for (const auto& s : m_sessions)
        if (s.get() == handle) return s;
    return nullptr;
}

std::shared_ptr<Session> Library::take(FT_HANDLE handle) {
    std::lock_guard lock(m_mutex);
    const auto it = std::find_if(m_sessions.begin(), m_sessions.end(),
                                 [&](const std::shared_ptr<Session>& s) { return s.get() == handle; });
    if (it == m_sessions.end()) return nullptr;
    auto session = *it;
    m_sessions.erase(it);
    return session;
}

} // namespace kx::sim
