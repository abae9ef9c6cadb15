// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/CalibrationState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>

namespace kx::device {

// The settings frame body: offsets 0..128 are the register image (length byte, block count,
// four write blocks); optional calibration-table blocks and the CRC follow when it is built.
inline constexpr std::size_t kImageSize = 129;
inline constexpr std::size_t kCrcSize = 2;
inline constexpr std::size_t kTableBlockSize = 3 + core::kCalTableSize; // count, address, table
inline constexpr std::size_t kPlainBodySize = kImageSize + kCrcSize;    // 131
// The length byte cannot describe two table blocks (262 > 255), so a frame carries at most one.
inline constexpr std::size_t kMaxSettingsBodySize = kImageSize + kTableBlockSize + kCrcSize; // 198

inline constexpr std::uint16_t kZeroTableAddress = 0xF400;
inline constexpr std::uint16_t kSystemTableAddress = 0xF600;

// Named offsets in the body (count from the length byte).
namespace reg {
inline constexpr std::size_t kLength = 0;
inline constexpr std::size_t kBlockCount = 1;
inline constexpr std::size_t kBlock1Header = 2; // 39 bytes at 0xFF01
inline constexpr std::size_t kTrigFlags = 5;
inline constexpr std::size_t kChanFlags = 6;
inline constexpr std::size_t kCondFlags = 7;
inline constexpr std::size_t kAcqFlags = 8;
inline constexpr std::size_t kDecimation = 9;   // 4 bytes
inline constexpr std::size_t kPreTrigger = 13;  // 2 bytes
inline constexpr std::size_t kPostTrigger = 15; // 2 bytes
inline constexpr std::size_t kLevA1Low = 17;
inline constexpr std::size_t kLevA1High = 18;
inline constexpr std::size_t kLevA2Low = 19;
inline constexpr std::size_t kLevA2High = 20;
inline constexpr std::size_t kPulseCount = 21; // 2 bytes
inline constexpr std::size_t kLevMask = 23;
inline constexpr std::size_t kLevPolarity = 24;
inline constexpr std::size_t kHiResExponent = 25;
inline constexpr std::size_t kTimeLow = 26;    // 4 bytes
inline constexpr std::size_t kTimeHigh = 30;   // 4 bytes
inline constexpr std::size_t kReserved34 = 34; // 2 bytes, always 0
inline constexpr std::size_t kChannelMask = 36;
inline constexpr std::size_t kRunFlags = 37;
inline constexpr std::size_t kFramePeriod = 38;
inline constexpr std::size_t kSequence = 39;
inline constexpr std::size_t kZeroFineA1 = 40;
inline constexpr std::size_t kZeroFineA2 = 41;
inline constexpr std::size_t kGainA1 = 42;
inline constexpr std::size_t kGainA2 = 43;
inline constexpr std::size_t kBlock2Header = 44; // 1 byte at 0xFF30
inline constexpr std::size_t kFreqMeter = 47;
inline constexpr std::size_t kBlock3Header = 48; // 39 bytes at 0xFF40
inline constexpr std::size_t kFrontEndA1 = 51;
inline constexpr std::size_t kFrontEndA2 = 52;
inline constexpr std::size_t kMiscReg = 53;
inline constexpr std::size_t kGenAuxReg = 54;
inline constexpr std::size_t kZeroDacA1 = 55;     // 2 bytes
inline constexpr std::size_t kZeroDacA2 = 57;     // 2 bytes
inline constexpr std::size_t kDigThrD123 = 59;    // 2 bytes
inline constexpr std::size_t kDigThrD4 = 61;      // 2 bytes
inline constexpr std::size_t kGenOffsetCode = 63; // 2 bytes
inline constexpr std::size_t kRefOscCode = 65;    // 2 bytes
inline constexpr std::size_t kSysCal = 67;        // 13 bytes: system table bytes 8..20
inline constexpr std::size_t kSysCalSize = 13;
inline constexpr std::size_t kGenTimeMatch = 80;
inline constexpr std::size_t kAdMatch = 81;
inline constexpr std::size_t kZeroPosA1 = 82;    // 2 bytes
inline constexpr std::size_t kZeroPosA2 = 84;    // 2 bytes
inline constexpr std::size_t kGenDcCode = 86;    // 2 bytes
inline constexpr std::size_t kGenLoadCode = 88;  // 2 bytes
inline constexpr std::size_t kBlock4Header = 90; // 36 bytes at 0xFF70
inline constexpr std::size_t kGenFuncReg = 93;
inline constexpr std::size_t kGenShapeReg = 94;
inline constexpr std::size_t kGenFreqWord = 95;     // 6 bytes
inline constexpr std::size_t kGenStepWord = 101;    // 6 bytes
inline constexpr std::size_t kGenAmpCode = 107;     // 2 bytes
inline constexpr std::size_t kGenModFreqWord = 109; // 6 bytes
inline constexpr std::size_t kGenPulsePeriod = 115; // 4 bytes
inline constexpr std::size_t kGenPulseWidth = 119;  // 4 bytes
inline constexpr std::size_t kGenAwgDiv = 123;      // 4 bytes
inline constexpr std::size_t kGenAwgMark = 127;     // 2 bytes
} // namespace reg

// Bits that reach the instrument in exactly one frame.
inline constexpr std::uint8_t kCondOnceTriggerChanged = 0x80; // offset 7
inline constexpr std::uint8_t kFreqMeterOnceReset = 0x80;     // offset 47
inline constexpr std::uint8_t kShapeOncePhaseSync = 0x40;     // offset 94
inline constexpr std::uint8_t kShapeOnceAwgRun = 0x80;        // offset 94
inline constexpr std::uint8_t kRunFlagRunning = 0x01;         // offset 37
inline constexpr std::uint8_t kRunFlagFlowControl = 0x08;     // offset 37

// The byte image of the instrument's settings registers. Values are stored little-endian
// byte by byte; writes outside the image are ignored.
class RegisterImage {
public:
    // Length byte, block count and the four block headers of a frame without tables; every
    // register 0.
    RegisterImage();

    [[nodiscard]] std::uint8_t get8(std::size_t offset) const;
    [[nodiscard]] std::uint16_t get16(std::size_t offset) const;
    [[nodiscard]] std::uint32_t get32(std::size_t offset) const;
    [[nodiscard]] std::uint64_t get48(std::size_t offset) const;

    void set8(std::size_t offset, std::uint8_t value);
    void set16(std::size_t offset, std::uint16_t value);
    void set32(std::size_t offset, std::uint32_t value);
    void set48(std::size_t offset, std::uint64_t value); // low 48 bits
    void setBits(std::size_t offset, std::uint8_t mask, bool on);

    [[nodiscard]] std::span<const std::uint8_t, kImageSize> bytes() const { return m_bytes; }

    bool operator==(const RegisterImage&) const = default;

private:
    void putLe(std::size_t offset, std::uint64_t value, std::size_t size);
    [[nodiscard]] std::uint64_t getLe(std::size_t offset, std::size_t size) const;

    std::array<std::uint8_t, kImageSize> m_bytes{};
};

// Stores the CRC-16/MODBUS of bytes 0..61 into bytes 62 and 63, low byte first.
void stampTableCrc(core::CalTable& table);

// Builds the settings-frame body (length byte .. the two CRC bytes) into `out`:
// the image with `sequence` at offset 39, then at most one calibration-table block (zero-offset
// table at 0xF400 or system table at 0xF600, with its CRC stamped in the copy sent), the block
// count and L set to match, and the CRC over everything before it.
// Returns the number of bytes written: 131 without a table, 198 with one; 0 (nothing usable
// written) when `out` is too small or both tables are given. Once flags and the flow-control
// bit are whatever the image carries.
std::size_t buildSettingsBody(const RegisterImage& image, std::uint8_t sequence,
                              const core::CalTable* zeroTable, const core::CalTable* systemTable,
                              std::span<std::uint8_t> out);

enum class OnceFlag : std::uint8_t { TriggerChanged, CounterReset, PhaseSync, AwgRun };
enum class CalTableKind : std::uint8_t { ZeroOffset, System };

// The register image shared by apply-settings (GUI thread) and send-settings (acquisition
// thread). Every member locks the same mutex, so a frame never sees half an image.
class RegisterImageHolder {
public:
    // The trigger-changed once flag starts raised, so the first frame carries it.
    RegisterImageHolder();

    void publish(const RegisterImage& image);     // copy in
    [[nodiscard]] RegisterImage snapshot() const; // copy out

    void raise(OnceFlag flag);
    // Keeps a copy of the table, CRC stamped, for the next frame.
    void requestTableUpload(CalTableKind kind, const core::CalTable& table);
    [[nodiscard]] bool uploadPending() const;
    // A table went out in the last body and its frame has not been answered yet: status packets
    // read meanwhile may still carry the instrument's old table.
    [[nodiscard]] bool tablesBusy() const;
    // The frame that carried a table was answered (or given up on).
    void tableDelivered();
    // Drops both pending table uploads: a recovered instrument is not sent what the old one was owed.
    void cancelTableUploads();
    // Off under "FLOW_CTRL_OFF": bit 3 of the run flags is then never sent.
    void setFlowControl(bool enabled);

    // send-settings step 2: advances the sequence number, builds the body into `out` with the
    // once flags ORed in and the flow-control bit added, then clears the once flags and the
    // upload request that went out (the zero-offset table first; a second request stays pending
    // for the next frame). Returns the body length, 0 when `out` is too small (nothing consumed).
    std::size_t takeSettingsBody(std::span<std::uint8_t> out);

    // Sequence number of the last body built (0 before the first).
    [[nodiscard]] std::uint8_t sequence() const;

private:
    mutable std::mutex m_mutex;
    RegisterImage m_image;
    bool m_onceTrigger = true;
    bool m_onceCounterReset = false;
    bool m_oncePhaseSync = false;
    bool m_onceAwgRun = false;
    bool m_flowControl = true;
    std::uint8_t m_sequence = 0;
    std::optional<core::CalTable> m_zeroUpload;
    std::optional<core::CalTable> m_systemUpload;
    bool m_tableInFlight = false;
};

} // namespace kx::device
