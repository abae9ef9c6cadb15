// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/ChannelScale.h"

namespace kx::acquisition {

std::uint32_t channelScale(std::uint8_t gainCode, std::uint8_t frontEnd, bool compactFrontEnd,
                           std::int32_t probeFactor) {
    std::uint32_t uv = 10000;
    if (compactFrontEnd) {
        uv = 100000;
    } else {
        switch (gainCode & 0x0F) {
        case 3:
            uv = 20000;
            break;
        case 6:
            uv = 50000;
            break;
        case 7:
            uv = 100000;
            break;
        case 9:
            uv = 500000;
            break;
        case 10:
            uv = 200000;
            break;
        case 14:
            uv = 1000000;
            break;
        case 15:
            uv = 2000000;
            break;
        default:
            break;
        }
    }
    switch (frontEnd & 0x0F) {
    case 9:
        uv /= 2;
        break;
    case 12:
        uv /= 5;
        break;
    case 13:
        uv /= 10;
        break;
    case 15:
        uv /= 20;
        break;
    default:
        break;
    }
    const std::uint32_t probe = probeFactor > 0 ? static_cast<std::uint32_t>(probeFactor) : 1u;
    return uv * probe;
}

} // namespace kx::acquisition
