// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/InterchangeExport.h"
#include "files/RowPlan.h"

#include <zip.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace kx::files {

namespace fh = core::fh;
using core::Channel;

namespace {

// The entries carry a fixed time, so the same frame always gives the same bytes.
constexpr std::time_t kEntryTime = 1577836800; // 2020-01-01

struct Entry {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};

bool addEntry(zip_t* zip, const Entry& e) {
    zip_source_t* src = zip_source_buffer(zip, e.bytes.data(), e.bytes.size(), 0);
    if (!src) return false;
    const zip_int64_t index = zip_file_add(zip, e.name.c_str(), src, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(src);
        return false;
    }
    const auto i = static_cast<zip_uint64_t>(index);
    return zip_set_file_compression(zip, i, ZIP_CM_DEFLATE, 0) == 0 &&
           zip_file_set_mtime(zip, i, kEntryTime, 0) == 0;
}

Entry textEntry(const char* name, const std::string& text) {
    return {name, std::vector<std::uint8_t>(text.begin(), text.end())};
}

void putFloat(std::vector<std::uint8_t>& out, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>(bits >> (8 * b)));
}

} // namespace

bool writeSigrokSession(const std::string& path, const core::FrameRecord& frame, const ChannelSet& exported) {
    const auto& h = frame.header;
    const bool peak = h[fh::PeakDetect] != 0;
    const RowPlan plan = rowPlan(h, exported);
    const long long rate =
        plan.periodPs == 0 ? 1 : std::max(1ll, std::llround(1e12 / static_cast<double>(plan.periodPs)));

    // Sample arrays: one logic byte per row, a float per row for each analog column.
    struct Column {
        std::string name;
        const std::array<std::int32_t, core::kMaxFramePoints>* samples;
        Channel channel;
    };
    std::vector<Column> logic, analog;
    for (int c = 0; c < core::kChannelCount; ++c) {
        if (!exported[static_cast<std::size_t>(c)]) continue;
        const auto ch = static_cast<Channel>(c);
        auto& list = isAnalog(ch) ? analog : logic;
        const std::string name(channelName(ch));
        if (peak) {
            list.push_back({name + "_min", &frame.channels.minOf(ch), ch});
            list.push_back({name + "_max", &frame.channels.maxOf(ch), ch});
        } else {
            list.push_back({name, &frame.channels.minOf(ch), ch});
        }
    }

    std::string meta = "[global]\nsigrok version=0.5.2\n\n[device 1]\n";
    if (!logic.empty()) meta += "capturefile=logic-1\ntotal probes=" + std::to_string(logic.size()) + "\n";
    meta += "samplerate=" + std::to_string(rate) + " Hz\n";
    meta += "total analog=" + std::to_string(analog.size()) + "\n";
    for (std::size_t k = 0; k < logic.size(); ++k)
        meta += "probe" + std::to_string(k + 1) + "=" + logic[k].name + "\n";
    for (std::size_t k = 0; k < analog.size(); ++k)
        meta += "analog" + std::to_string(logic.size() + k + 1) + "=" + analog[k].name + "\n";
    if (!logic.empty()) meta += "unitsize=1\n";

    std::vector<Entry> entries;
    entries.push_back(textEntry("version", "2"));
    entries.push_back(textEntry("metadata", meta));
    if (!logic.empty()) {
        Entry e{"logic-1-1", std::vector<std::uint8_t>(plan.rows, 0)};
        for (std::size_t k = 0; k < logic.size(); ++k)
            for (std::size_t i = 0; i < plan.rows; ++i) {
                const std::int32_t v = (*logic[k].samples)[i];
                if (isSampleCode(v) && v >= 128) e.bytes[i] |= static_cast<std::uint8_t>(1u << k);
            }
        entries.push_back(std::move(e));
    }
    const std::size_t analogCount = sampleCount(h, Channel::A1);
    for (std::size_t k = 0; k < analog.size(); ++k) {
        Entry e{"analog-1-" + std::to_string(logic.size() + k + 1) + "-1", {}};
        e.bytes.reserve(plan.rows * 4);
        for (std::size_t i = 0; i < plan.rows; ++i) {
            const std::size_t j = i / plan.perAnalog;
            const std::int32_t v = j < analogCount ? (*analog[k].samples)[j] : core::kNoSample;
            const float volts = isSampleCode(v)
                                    ? static_cast<float>(analogMicrovolts(h, analog[k].channel, v) * 1e-6)
                                    : std::numeric_limits<float>::quiet_NaN();
            putFloat(e.bytes, volts);
        }
        entries.push_back(std::move(e));
    }

    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!zip) return false;
    for (const Entry& e : entries)
        if (!addEntry(zip.get(), e)) return false;
    // The buffers stay alive until the archive is written here.
    if (zip_close(zip.get()) != 0) return false;
    zip.release();
    return true;
}

} // namespace kx::files
