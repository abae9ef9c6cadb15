// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kx::core {

// Device-type codes as reported by the instrument and stored with frames and settings.
inline constexpr std::int32_t kKX4820 = 0x20;
inline constexpr std::int32_t kKX4821 = 0x21;
inline constexpr std::int32_t kKX4822 = 0x22;
inline constexpr std::int32_t kKX4823 = 0x23;
inline constexpr std::int32_t kTRM207 = 0x31;
inline constexpr std::int32_t kTRM207Mini = 0x35;

// The low three bits of the code are capability bits.
constexpr bool hasGenerator(std::int32_t code) {
    return (code & 0x01) != 0;
}
constexpr bool hasA2Input(std::int32_t code) {
    return (code & 0x02) != 0;
}
constexpr bool hasCompactFrontEnd(std::int32_t code) {
    return (code & 0x04) != 0;
}
// The A2 channel exists with its own input or as the generator's internal route.
constexpr bool hasA2Channel(std::int32_t code) {
    return (code & 0x03) != 0;
}
constexpr bool isTrmModel(std::int32_t code) {
    return code == kTRM207 || code == kTRM207Mini;
}

// The TRM207 items of the device menu are shown when the executable's name begins with
// "TRM" or when any of the other types involved is one of them.
constexpr bool trmItemsVisible(bool exeNameStartsWithTrm, std::int32_t uiDeviceType, std::int32_t frameDeviceType,
                               std::int32_t reportedDeviceType) {
    return exeNameStartsWithTrm || isTrmModel(uiDeviceType) || isTrmModel(frameDeviceType) ||
           isTrmModel(reportedDeviceType);
}

// Menu caption of a code, or "Unknown Type = " and four upper-case hex digits.
std::string modelName(std::int32_t code);

} // namespace kx::core
