// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/FrameRecord.h"

#include <cstring>

namespace kx::core {

std::uint64_t FrameHeader::get64(int i) const {
    return static_cast<std::uint64_t>((*this)[i]) | (static_cast<std::uint64_t>((*this)[i + 1]) << 32);
}

void FrameHeader::set64(int i, std::uint64_t v) {
    (*this)[i] = static_cast<std::uint32_t>(v);
    (*this)[i + 1] = static_cast<std::uint32_t>(v >> 32);
}

double FrameHeader::getReal(int i) const {
    std::uint64_t bits = get64(i);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

void FrameHeader::setReal(int i, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    set64(i, bits);
}

void ChannelBuffers::clear() {
    for (auto& a : min) a.fill(kNoSample);
    for (auto& a : max) a.fill(kNoSample);
}

void AnalyzerPointArrays::clear() {
    re.fill(kNoAnalyzerData);
    im.fill(kNoAnalyzerData);
}

void FrameRecord::clear() {
    channels.clear();
    points.clear();
    header.w.fill(0);
    loadedFromFile = false;
}

} // namespace kx::core
