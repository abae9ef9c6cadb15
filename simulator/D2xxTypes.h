// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The D2XX calling types, declared here so the library never depends on the vendor's headers.
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using FT_HANDLE = void*;
using FT_STATUS = std::uint32_t;

namespace kx::sim {

enum FtStatusCode : FT_STATUS {
    kFtOk = 0,
    kFtInvalidHandle = 1,
    kFtDeviceNotFound = 2,
    kFtDeviceNotOpened = 3,
    kFtIoError = 4,
    kFtInvalidParameter = 6,
    kFtInvalidBaudRate = 7,
    kFtInvalidArgs = 16,
    kFtNotSupported = 17,
};

constexpr DWORD kFtOpenBySerialNumber = 1;
constexpr DWORD kFtOpenByDescription = 2;
constexpr DWORD kFtOpenByLocation = 4;
constexpr DWORD kFtListNumberOnly = 0x80000000u;
constexpr DWORD kFtListByIndex = 0x40000000u;
constexpr DWORD kFtListAll = 0x20000000u;
constexpr DWORD kFtEventRxChar = 1;
constexpr ULONG kFtPurgeRx = 1;
constexpr ULONG kFtPurgeTx = 2;
constexpr ULONG kModemCts = 0x10;

} // namespace kx::sim
