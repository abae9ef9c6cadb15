// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ExportFrame.h"

#include "files/DataFile.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

namespace kx::files {

namespace fh = core::fh;
using core::Channel;

ChannelSet shownChannels(const core::InstrumentState& state) {
    const auto& s = state.scope;
    return {s.A1.shown, s.A2.shown, s.CH_D1, s.CH_D2, s.CH_D3, s.CH_D4};
}

ChannelSet exportedChannels(const core::FrameHeader& h, const ChannelSet& shown) {
    ChannelSet out{};
    for (int c = 0; c < core::kChannelCount; ++c)
        out[static_cast<std::size_t>(c)] = shown[static_cast<std::size_t>(c)] &&
                                           (h[fh::ChannelMask] & maskBit(static_cast<Channel>(c))) != 0;
    return out;
}

bool anyChannel(const ChannelSet& set) {
    return std::find(set.begin(), set.end(), true) != set.end();
}

bool anyDigital(const ChannelSet& set) {
    return std::find(set.begin() + 2, set.end(), true) != set.end();
}

std::size_t sampleCount(const core::FrameHeader& h, Channel c) {
    const std::size_t n = isAnalog(c) ? h[fh::AnalogCount] : h[fh::DigitalCount];
    return std::min(n, core::kMaxFramePoints);
}

std::uint64_t digitalPerAnalog(const core::FrameHeader& h) {
    const std::uint64_t digital = h.get64(fh::DigitalPeriodPs);
    const std::uint64_t r = digital == 0 ? 1 : h.get64(fh::SamplePeriodPs) / digital;
    return r == 0 ? 1 : r;
}

double analogStepMicrovolts(const core::FrameHeader& h, Channel c) {
    const int scale = c == Channel::A1 ? fh::ScaleA1 : fh::ScaleA2;
    return static_cast<double>(h[scale]) * 8.0 / 65536.0;
}

double analogMicrovolts(const core::FrameHeader& h, Channel c, std::int32_t code) {
    const int zero = c == Channel::A1 ? fh::ZeroA1 : fh::ZeroA2;
    return analogStepMicrovolts(h, c) * (static_cast<double>(code) - static_cast<double>(h.signedWord(zero)));
}

std::string offeredExportName(const DataFileNames& names, const char* extension) {
    if (!names.dataFileNameKnown) return std::string("*") + extension;
    return std::filesystem::path(names.dataFileName).replace_extension(extension).string();
}

void snapshotFrame(const core::FrameRecord& live, core::FrameRecord& copy) {
    std::lock_guard lock(live.mutex);
    copy.header = live.header;
    copy.channels = live.channels;
    copy.points = live.points; // the analyzers' exports read the sweep
    copy.loadedFromFile = live.loadedFromFile;
}

} // namespace kx::files
