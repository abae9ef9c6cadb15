// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/WaveformAssembly.h"

#include "acquisition/ChannelCopy.h"
#include "acquisition/ChannelScale.h"
#include "acquisition/InfoBlock.h"
#include "acquisition/TriggerPosition.h"
#include "acquisition/Unpack.h"
#include "analyzers/SpectrumFrame.h"
#include "core/Rounding.h"

#include <algorithm>
#include <cmath>

namespace kx::acquisition {

using core::Channel;
using core::kMaxFramePoints;
namespace fh = core::fh;

namespace {

struct Flags {
    std::uint8_t status, trig, chan, cond, acq, mask, run;
    bool fast, ets, peak, hiRes, roll;
};

Flags readFlags(std::span<const std::uint8_t> in) {
    Flags f{};
    f.status = in[info::FrameStatus];
    f.trig = in[info::TriggerFlags];
    f.chan = in[info::ChannelFlags];
    f.cond = in[info::ConditionStatus];
    f.acq = in[info::AcquisitionFlags];
    f.mask = in[info::ChannelMask];
    f.run = in[info::RunFlags];
    f.fast = (f.mask & info::kMaskFastDigital) != 0;
    f.ets = (f.mask & info::kMaskEts) != 0;
    f.peak = (f.trig & info::kTriggerPeakDetect) != 0;
    f.hiRes = (f.trig & info::kTriggerAveraging) != 0;
    f.roll = (f.run & info::kRunRoll) != 0;
    return f;
}

// Refuses lengths that would not fit the raw arrays or the channel buffers.
bool lengthFits(const Flags& f, std::size_t t) {
    const std::size_t capture = (f.peak || f.hiRes) ? t / 2 : t;
    if (capture > kMaxFramePoints) return false;
    if ((f.ets ? 4 * t : t) > kRawCapacity) return false;
    if (f.fast && (8 * t > kRawCapacity || 8 * capture > kMaxFramePoints)) return false;
    return true;
}

std::uint32_t conditionClass(std::uint8_t chan) {
    const bool b5 = (chan & info::kChannelClassBit5) != 0;
    const bool b6 = (chan & info::kChannelClassBit6) != 0;
    if (b5 && b6) return 3;
    if (b5) return 2;
    if (b6) return 4;
    return 1;
}

void callHook(const std::function<void(const HookArgs&)>& hook, const HookArgs& args) {
    if (hook) hook(args);
}

} // namespace

AssemblyStatus assembleFrame(std::span<const std::uint8_t> in, std::span<const std::uint8_t> blockA,
                             std::span<const std::uint8_t> blockB, const AssemblyContext& ctx,
                             AssemblyWorkspace& work, core::FrameRecord& frame) {
    if (in.size() < info::kSize) {
        ++work.stats.refused;
        return AssemblyStatus::BadInfoBlock;
    }
    Flags f = readFlags(in);
    const std::size_t t = infoWord16(in, info::PreTrigger) + infoWord16(in, info::PostTrigger);
    if (!lengthFits(f, t)) {
        ++work.stats.refused;
        return AssemblyStatus::BadLength;
    }

    const UnpackResult unpacked = unpackBlocks(blockA, blockB, f.mask, t, work.raw);
    if (unpacked.shortBlock) ++work.stats.shortBlocks;

    std::size_t writeIndex = infoWord16(in, info::RollWriteIndex);
    if (t > 0 && writeIndex >= t) {
        writeIndex %= t;
        ++work.stats.clamped;
    }
    RecorderFrame rec;
    const std::size_t ringLength = std::min(t, work.raw.length(Channel::A1));
    rec.ring = ringLength == t ? work.raw.of(Channel::A1).first(t) : std::span<const std::int32_t>{};
    rec.writeIndex = writeIndex;
    rec.rollData = f.roll && (f.status & info::kStatusRollData) != 0;
    rec.wrapped = (f.status & info::kStatusRollWrapped) != 0;
    rec.hiRes = f.hiRes && (in[info::HiResExponent] > 0);
    // Pairs (min and max, or the two halves of an average) take two entries per sample time.
    const std::uint64_t slotPs = static_cast<std::uint64_t>(infoWord32(in, info::Decimation)) * 5000u;
    rec.entryPeriodPs = (f.peak || f.hiRes) ? slotPs / 2 : slotPs;
    rec.arrivalNs = ctx.arrivalNs;
    collectRecorderSamples(work.recorder, ctx.recordingOn, rec);

    auto& h = frame.header;
    const HookArgs args{in, ctx, work.raw, frame};

    // Scales, then the spectra of an equivalent-time frame: until they are done the frame record
    // still holds the previous frame whole, so the GUI may draw it meanwhile.
    const std::uint32_t scaleA1 =
        channelScale(in[info::GainA1], in[info::FrontEndA1], ctx.compactFrontEnd, ctx.probeA1);
    const std::uint32_t scaleA2 =
        channelScale(in[info::GainA2], in[info::FrontEndA2], ctx.compactFrontEnd, ctx.probeA2);
    if (f.ets && work.ets) work.ets->analyse(in, work.raw, t, scaleA1, scaleA2, ctx, work.betweenSpectra);
    h[fh::ScaleA1] = scaleA1;
    h[fh::ScaleA2] = scaleA2;

    // Capture words.
    const bool halved = f.peak || f.hiRes;
    const std::uint64_t period = static_cast<std::uint64_t>(infoWord32(in, info::Decimation)) * 5000u;
    h.set64(fh::SamplePeriodPs, period);
    h.set64(fh::DigitalPeriodPs, f.fast ? period / 8 : period);
    h[fh::ZeroA1] = static_cast<std::uint32_t>(ctx.zeroA1);
    h[fh::ZeroA2] = static_cast<std::uint32_t>(ctx.zeroA2);
    const std::size_t capture = halved ? t / 2 : t;
    const std::size_t rollIndex = halved ? writeIndex / 2 : writeIndex;
    const std::uint32_t pre = infoWord16(in, info::PreTrigger);
    h[fh::CaptureLength] = static_cast<std::uint32_t>(capture);
    h[fh::PreTrigger] = halved ? pre / 2 : pre;

    std::size_t count = capture;
    std::size_t newest = capture;
    const bool wrapped = (f.status & info::kStatusRollWrapped) != 0;
    const bool present = (f.status & info::kStatusRollData) != 0;
    if (f.roll) {
        if (!wrapped)
            count = newest = present ? rollIndex : 0;
        else if (present && !ctx.scrollActive)
            newest = rollIndex;
    }
    h[fh::AnalogCount] = static_cast<std::uint32_t>(count);
    h[fh::DigitalCount] = static_cast<std::uint32_t>(f.fast ? count * 8 : count);
    h[fh::TriggerIndex] = static_cast<std::uint32_t>(newest);
    h[fh::RollFrame] = f.roll ? 1 : 0;
    h[fh::PeakDetect] = f.peak ? 1 : 0;
    const unsigned exponent = std::min<unsigned>(in[info::HiResExponent], 24);
    h[fh::HiResFactor] = f.hiRes ? (1u << exponent) : 1u;
    h[fh::EtsState] = f.ets ? 1 : 0;
    h[analyzers::fftword::EtsFftChannel] = 0;
    const bool analyzer = (f.acq & info::kAcquisitionAnalyzer) != 0;
    h[fh::AnalyzerMode] = analyzer ? (ctx.menuAA ? 2 : 1) : 0;
    h[fh::NarrowFilter] = ctx.iqWinEn ? 1 : 0;
    h[fh::OverdriveA1] = (f.status & info::kStatusOverdriveA1) ? 1 : 0;
    h[fh::OverdriveA2] = (f.status & info::kStatusOverdriveA2) ? 1 : 0;
    h.set64(fh::SweepSpan, ctx.sweepSpan);
    h.set64(fh::SweepStart, ctx.sweepStart);
    h[fh::GenAmplitudeWord] = ctx.genAmpCode;
    h[fh::InfoWord118] = infoWord16(in, info::Word36);
    h[fh::CounterStatus] = ctx.counterStatus;
    h[fh::CounterEvents] = ctx.counterEvents;
    h[fh::CounterTicks] = ctx.counterTicks;

    if (f.ets && work.ets) {
        const EtsOutcome ets = work.ets->reconstruct(in, work.raw, t, ctx, h);
        if (ets.reconstructed) h[fh::EtsState] = 2;
        if (ets.triggerCrossing) f.status = static_cast<std::uint8_t>(f.status & ~0x04u);
    } else if (f.ets && work.hooks.etsReconstruct) {
        h[fh::EtsState] = work.hooks.etsReconstruct(args) ? 2 : 1;
    }

    // Copy into the channel buffers.
    const bool hiResCopy = h[fh::HiResFactor] >= 2;
    const bool rotate = f.roll && wrapped && ctx.scrollActive && capture > 0;
    for (int c = 0; c < core::kChannelCount; ++c) {
        const auto ch = static_cast<Channel>(c);
        const bool digital = c >= 2;
        const std::size_t scale = (digital && f.fast) ? 8 : 1;
        CopyPlan plan;
        plan.length = capture * scale;
        plan.valid = count * scale;
        plan.period = rotate ? capture * scale : 0;
        plan.rotation = rotate ? rollIndex * scale : 0;
        plan.peakDetect = f.peak;
        plan.hiRes = hiResCopy;
        plan.analog = !digital;
        copyChannel(work.raw.of(ch).first(work.raw.length(ch)), frame.channels.minOf(ch),
                    frame.channels.maxOf(ch), plan);
    }

    if (analyzer) callHook(work.hooks.analyzerFrame, args);
    writeStatistics(frame, (f.mask & info::kMaskA1) != 0, (f.mask & info::kMaskA2) != 0);
    callHook(work.hooks.systemCalibration, args);

    // Identity, channels, trigger and condition words.
    h[fh::FrameDeviceType] = infoWord16(in, info::DeviceType);
    std::uint32_t channels = 0;
    if (!analyzer) {
        if (f.mask & info::kMaskA1) channels |= 0x01;
        if (f.mask & info::kMaskA2) channels |= 0x02;
        if (f.mask & info::kMaskD12) channels |= 0x0C;
        if (f.mask & info::kMaskD34) channels |= 0x30;
    }
    h[fh::ChannelMask] = channels;
    const std::uint32_t source = f.trig & info::kTriggerSourceMask;
    const bool triggerActive = (f.chan & info::kChannelTriggerActive) != 0;
    const bool positionValid = (f.status & info::kStatusNoTriggerPos) == 0;
    h[fh::TriggerSource] = (triggerActive && positionValid && source <= 5) ? source + 1 : 0;
    std::int64_t level = static_cast<std::int32_t>(h[fh::TriggerLevelCode]);
    if (h[fh::TriggerSource] == 1 || h[fh::TriggerSource] == 2) {
        const double lev = h[fh::TriggerSource] == 1 ? ctx.levA1 : ctx.levA2;
        level = core::roundHalfAway(std::clamp(lev, -1.0e9, 1.0e9));
    }
    h[fh::TriggerLevelCode] = static_cast<std::uint32_t>(std::clamp<std::int64_t>(level, 0, 0x10000));

    const bool conditionC = triggerActive && positionValid && h[fh::EtsState] != 2;
    const std::uint32_t kind = conditionClass(f.chan);
    std::uint32_t video = (f.status & info::kStatusPal) ? 1 : (f.status & info::kStatusNtsc) ? 2 : 0;
    if (conditionC) {
        const bool noTime = kind == 3 && (f.cond & info::kConditionTimeMask) == 0;
        h[fh::TPlusValue] = noTime ? 0 : infoWord32(in, info::ConditionTime);
        h[fh::TPlusKind] = kind;
        if (f.cond & info::kConditionVideoLine) video = 3;
        h[fh::VideoLine] = infoWord16(in, info::ConditionCount);
    } else {
        h[fh::TPlusValue] = 0;
        h[fh::TPlusKind] = 0;
        h[fh::VideoLine] = 0;
    }
    h[fh::StatusTriggerSource] = source + 1;
    h[fh::VideoStandard] = video;

    ++h[fh::FrameCounter];

    if (count > 0) callHook(work.hooks.lcMeter, args);
    callHook(work.hooks.antennaCalibration, args);
    callHook(work.hooks.networkCalibration, args);

    writeTriggerShifts(frame, in, ctx.preTrigger);

    ++work.stats.assembled;
    return unpacked.shortBlock ? AssemblyStatus::ShortBlock : AssemblyStatus::Ok;
}

} // namespace kx::acquisition
