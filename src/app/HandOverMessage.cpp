// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HandOverMessage.h"

#include <cstdint>

namespace kx::app {

namespace {

void putU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t getU32(std::string_view in, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return v;
}

} // namespace

bool encodeFileMessage(const HandOverMessage& message, std::string& out) {
    if (message.paramCount < 0 || message.file.size() > kMaxHandOverFileBytes) return false;
    out.push_back(kFileMessage);
    putU32(out, static_cast<std::uint32_t>(message.paramCount));
    out.push_back(message.raise ? 1 : 0);
    putU32(out, static_cast<std::uint32_t>(message.file.size()));
    out += message.file;
    return true;
}

Decoded decodeRequest(std::string_view in, HandOverMessage& message, std::size_t& consumed) {
    consumed = 0;
    if (in.empty()) return Decoded::Incomplete;
    if (in[0] == kBusyQuery) {
        consumed = 1;
        return Decoded::BusyQuery;
    }
    if (in[0] != kFileMessage) return Decoded::Invalid;
    // Judge what has arrived as soon as it can be judged, so garbage never waits for more bytes.
    if (in.size() >= 5 && (getU32(in, 1) & 0x80000000u) != 0) return Decoded::Invalid;
    if (in.size() >= 6 && static_cast<unsigned char>(in[5]) > 1) return Decoded::Invalid;
    if (in.size() < kFileMessageHeader) return Decoded::Incomplete;
    const std::uint32_t length = getU32(in, 6);
    if (length > kMaxHandOverFileBytes) return Decoded::Invalid;
    if (in.size() - kFileMessageHeader < length) return Decoded::Incomplete;

    std::string_view name = in.substr(kFileMessageHeader, length);
    if (const std::size_t zero = name.find('\0'); zero != std::string_view::npos) name = name.substr(0, zero);
    message.file.assign(name);
    message.paramCount = static_cast<int>(getU32(in, 1));
    message.raise = in[5] != 0;
    consumed = kFileMessageHeader + length;
    return Decoded::File;
}

} // namespace kx::app
