// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace kx::core {

constexpr std::size_t kMaxFramePoints = 40000; // per channel, largest frame
constexpr std::size_t kAnalyzerPoints = 10000; // sweep points per analyser frame
constexpr std::size_t kFrameHeaderWords = 156;
constexpr std::int32_t kNoSample = INT_MAX; // a position without a sample
constexpr double kNoAnalyzerData = 1e30;

enum class Channel : int { A1 = 0, A2, D1, D2, D3, D4 };
constexpr int kChannelCount = 6;

// Word indices of FrameHeader; 64-bit and real values span two words, low word first.
namespace fh {
constexpr int FrameDeviceType = 0;
constexpr int SamplePeriodPs = 1;  // 1..2
constexpr int DigitalPeriodPs = 3; // 3..4
constexpr int ScaleA1 = 5;
constexpr int ZeroA1 = 6;
constexpr int ScaleA2 = 7;
constexpr int ZeroA2 = 8;
constexpr int CaptureLength = 9;
constexpr int PreTrigger = 10;
constexpr int AnalogCount = 11;
constexpr int DigitalCount = 12;
constexpr int TriggerIndex = 13;
constexpr int RollFrame = 14;
constexpr int PeakDetect = 15;
constexpr int HiResFactor = 16;
constexpr int EtsState = 17;
constexpr int AnalyzerMode = 18;
constexpr int NarrowFilter = 19;
constexpr int OverdriveA1 = 20;
constexpr int OverdriveA2 = 21;
constexpr int TriggerLevelCode = 22;
constexpr int TriggerSource = 23;
constexpr int ShiftA1 = 24; // 24..29: ShiftA1, ShiftA2, ShiftD1 .. ShiftD4
constexpr int ChannelMask = 30;
constexpr int SweepSpan = 31;  // 31..32
constexpr int SweepStart = 33; // 33..34
constexpr int GenAmplitudeWord = 35;
constexpr int InfoWord118 = 36;
constexpr int CounterStatus = 37;
constexpr int CounterEvents = 38;
constexpr int CounterTicks = 39;
constexpr int SumA1 = 40;   // 40..41 (double)
constexpr int SumA2 = 42;   // 42..43
constexpr int SumSqA1 = 44; // 44..45
constexpr int SumSqA2 = 46; // 46..47
constexpr int PeakToPeakA1 = 48;
constexpr int PeakToPeakA2 = 49;
constexpr int TPlusValue = 50;
constexpr int TPlusKind = 51;
constexpr int StatusTriggerSource = 52;
constexpr int VideoStandard = 53;
constexpr int VideoLine = 54;
constexpr int FftFirst = 55; // 55..70: spectrum words
constexpr int EtsFirst = 71; // 71..103: equivalent-time diagnostics
constexpr int FrameCounter = 154;
constexpr int Checksum = 155;
} // namespace fh

// The 156 little-endian 32-bit words that describe a frame; stored unchanged in data files.
struct FrameHeader {
    std::array<std::uint32_t, kFrameHeaderWords> w{};

    std::uint32_t& operator[](int i) { return w[static_cast<std::size_t>(i)]; }
    std::uint32_t operator[](int i) const { return w[static_cast<std::size_t>(i)]; }
    std::int32_t signedWord(int i) const { return static_cast<std::int32_t>(w[static_cast<std::size_t>(i)]); }

    std::uint64_t get64(int i) const;
    void set64(int i, std::uint64_t v);
    double getReal(int i) const; // IEEE double over two words
    void setReal(int i, double v);
};

// Six channels, each with a "min" and a "max" array. Analog entries are 16-bit codes
// (0x8000 mid-range), digital entries 0 or 256, kNoSample where nothing was taken.
struct ChannelBuffers {
    std::array<std::array<std::int32_t, kMaxFramePoints>, kChannelCount> min;
    std::array<std::array<std::int32_t, kMaxFramePoints>, kChannelCount> max;

    std::array<std::int32_t, kMaxFramePoints>& minOf(Channel c) { return min[static_cast<std::size_t>(c)]; }
    std::array<std::int32_t, kMaxFramePoints>& maxOf(Channel c) { return max[static_cast<std::size_t>(c)]; }
    const std::array<std::int32_t, kMaxFramePoints>& minOf(Channel c) const {
        return min[static_cast<std::size_t>(c)];
    }
    const std::array<std::int32_t, kMaxFramePoints>& maxOf(Channel c) const {
        return max[static_cast<std::size_t>(c)];
    }
    void clear();
};

// Complex points of an analyser sweep, kNoAnalyzerData where none.
struct AnalyzerPointArrays {
    std::array<double, kAnalyzerPoints> re;
    std::array<double, kAnalyzerPoints> im;
    void clear();
};

// One frame as assembled (or loaded from a file). Large: allocate once and keep.
// Written only by waveform assembly and the data-file reader; readers outside the
// synchronised update hold `mutex`.
struct FrameRecord {
    FrameHeader header;
    ChannelBuffers channels;
    AnalyzerPointArrays points;
    bool loadedFromFile = false;
    mutable std::mutex mutex;

    // Every entry to kNoSample, points to kNoAnalyzerData, header to 0, file flag off.
    // The caller raises the spectrum restart flags where it keeps them.
    void clear();
};

} // namespace kx::core
