// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kx::app {

// The little protocol between a second start and the running instance. The second start asks
// whether the instance is busy (one byte), gets one byte back, then sends the file message:
//   'F', parameter count (int32 LE, >= 0), raise (0 or 1), name length (uint32 LE), UTF-8 name.
inline constexpr char kBusyQuery = 'Q';
inline constexpr char kReplyBusy = 'B';
inline constexpr char kReplyIdle = 'I';
inline constexpr char kFileMessage = 'F';
inline constexpr std::size_t kFileMessageHeader = 10;
// Far beyond any path the system accepts; a longer length is garbage and ends the connection.
inline constexpr std::size_t kMaxHandOverFileBytes = 32768;

struct HandOverMessage {
    std::string file;   // "" when the second start had no file
    int paramCount = 0; // command-line parameters of the second start
    bool raise = false; // the second start found the instance idle or had no parameters
};

// Appends the file message to out; false (out untouched) for a negative count or an overlong name.
bool encodeFileMessage(const HandOverMessage& message, std::string& out);

enum class Decoded { Incomplete, BusyQuery, File, Invalid };

// Reads one request from the front of `in`. On BusyQuery and File, `consumed` is its length; on File
// `message` holds it, the name cut at a zero byte like a C string. Incomplete wants more bytes;
// Invalid means the peer sends garbage.
Decoded decodeRequest(std::string_view in, HandOverMessage& message, std::size_t& consumed);

} // namespace kx::app
