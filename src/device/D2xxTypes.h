// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::device {

// The D2XX calling types, declared here so nothing depends on the vendor's headers.
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using FT_HANDLE = void*;
using FT_STATUS = std::uint32_t;

inline constexpr FT_STATUS kFtOk = 0;
inline constexpr FT_STATUS kFtInvalidHandle = 1;
inline constexpr FT_STATUS kFtDeviceNotFound = 2;
inline constexpr FT_STATUS kFtDeviceNotOpened = 3;

inline constexpr DWORD kFtOpenBySerialNumber = 1;
inline constexpr DWORD kFtOpenByDescription = 2;
inline constexpr DWORD kFtOpenByLocation = 4;
inline constexpr DWORD kFtListByIndex = 0x40000000u;

inline constexpr DWORD kFtEventRxChar = 1;
inline constexpr ULONG kFtPurgeRx = 1;
inline constexpr ULONG kModemStatusCts = 0x10;
inline constexpr std::uint16_t kFtFlowNone = 0x0000;
inline constexpr std::uint16_t kFtFlowRtsCts = 0x0100;
inline constexpr std::uint8_t kFtBits8 = 8;
inline constexpr std::uint8_t kFtStopBits1 = 0;
inline constexpr std::uint8_t kFtParityNone = 0;

// Program's own status codes beside the D2XX ones.
inline constexpr int kStatusNoLibrary = 100;

} // namespace kx::device
