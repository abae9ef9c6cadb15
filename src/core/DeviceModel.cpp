// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DeviceModel.h"

#include <cstdio>

namespace kx::core {

std::string modelName(std::int32_t code) {
    switch (code) {
    case kKX4820:
        return "KX4820";
    case kKX4821:
        return "KX4821";
    case kKX4822:
        return "KX4822";
    case kKX4823:
        return "KX4823";
    case kTRM207:
        return "TRM207";
    case kTRM207Mini:
        return "TRM207 Mini";
    default:
        break;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "Unknown Type = %04X", static_cast<unsigned>(code) & 0xFFFFu);
    return buf;
}

} // namespace kx::core
