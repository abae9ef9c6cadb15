// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/RegisterImage.h"

#include "core/Crc16.h"

#include <algorithm>

namespace kx::device {

namespace {

struct BlockHeader {
    std::size_t offset;
    std::uint8_t count;
    std::uint16_t address;
};

constexpr BlockHeader kBlocks[] = {
    {reg::kBlock1Header, 39, 0xFF01},
    {reg::kBlock2Header, 1, 0xFF30},
    {reg::kBlock3Header, 39, 0xFF40},
    {reg::kBlock4Header, 36, 0xFF70},
};
constexpr std::uint8_t kPlainBlockCount = 4;

void putHeader(std::span<std::uint8_t> out, std::size_t at, std::uint8_t count, std::uint16_t address) {
    out[at] = count;
    out[at + 1] = static_cast<std::uint8_t>(address & 0xFF);
    out[at + 2] = static_cast<std::uint8_t>(address >> 8);
}

} // namespace

RegisterImage::RegisterImage() {
    m_bytes[reg::kLength] = static_cast<std::uint8_t>(kImageSize - 1);
    m_bytes[reg::kBlockCount] = kPlainBlockCount;
    for (const auto& b : kBlocks) putHeader(m_bytes, b.offset, b.count, b.address);
}

void RegisterImage::putLe(std::size_t offset, std::uint64_t value, std::size_t size) {
    if (offset >= kImageSize || size > kImageSize - offset) return;
    for (std::size_t i = 0; i < size; ++i) m_bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t RegisterImage::getLe(std::size_t offset, std::size_t size) const {
    if (offset >= kImageSize || size > kImageSize - offset) return 0;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < size; ++i) v |= static_cast<std::uint64_t>(m_bytes[offset + i]) << (8 * i);
    return v;
}

std::uint8_t RegisterImage::get8(std::size_t offset) const {
    return static_cast<std::uint8_t>(getLe(offset, 1));
}
std::uint16_t RegisterImage::get16(std::size_t offset) const {
    return static_cast<std::uint16_t>(getLe(offset, 2));
}
std::uint32_t RegisterImage::get32(std::size_t offset) const {
    return static_cast<std::uint32_t>(getLe(offset, 4));
}
std::uint64_t RegisterImage::get48(std::size_t offset) const {
    return getLe(offset, 6);
}

void RegisterImage::set8(std::size_t offset, std::uint8_t value) {
    putLe(offset, value, 1);
}
void RegisterImage::set16(std::size_t offset, std::uint16_t value) {
    putLe(offset, value, 2);
}
void RegisterImage::set32(std::size_t offset, std::uint32_t value) {
    putLe(offset, value, 4);
}
void RegisterImage::set48(std::size_t offset, std::uint64_t value) {
    putLe(offset, value & 0xFFFF'FFFF'FFFFull, 6);
}

void RegisterImage::setBits(std::size_t offset, std::uint8_t mask, bool on) {
    if (offset >= kImageSize) return;
    if (on)
        m_bytes[offset] = static_cast<std::uint8_t>(m_bytes[offset] | mask);
    else
        m_bytes[offset] = static_cast<std::uint8_t>(m_bytes[offset] & ~mask);
}

void stampTableCrc(core::CalTable& table) {
    const std::uint16_t crc =
        core::crc16(std::span<const std::uint8_t>(table.data(), core::kCalTableCrcOffset));
    table[core::kCalTableCrcOffset] = static_cast<std::uint8_t>(crc & 0xFF);
    table[core::kCalTableCrcOffset + 1] = static_cast<std::uint8_t>(crc >> 8);
}

std::size_t buildSettingsBody(const RegisterImage& image, std::uint8_t sequence,
                              const core::CalTable* zeroTable, const core::CalTable* systemTable,
                              std::span<std::uint8_t> out) {
    if (zeroTable != nullptr && systemTable != nullptr) return 0;
    const core::CalTable* table = zeroTable != nullptr ? zeroTable : systemTable;
    const std::size_t dataSize = kImageSize + (table != nullptr ? kTableBlockSize : 0);
    if (out.size() < dataSize + kCrcSize) return 0;

    const auto src = image.bytes();
    std::copy(src.begin(), src.end(), out.begin());
    // The headers and the length come from here, not from whatever a caller left in the image.
    for (const auto& b : kBlocks) putHeader(out, b.offset, b.count, b.address);
    out[reg::kSequence] = sequence;

    std::uint8_t blocks = kPlainBlockCount;
    if (table != nullptr) {
        putHeader(out, kImageSize, static_cast<std::uint8_t>(core::kCalTableSize),
                  table == zeroTable ? kZeroTableAddress : kSystemTableAddress);
        core::CalTable stamped = *table;
        stampTableCrc(stamped);
        std::copy(stamped.begin(), stamped.end(), out.begin() + kImageSize + 3);
        ++blocks;
    }
    out[reg::kLength] = static_cast<std::uint8_t>(dataSize - 1);
    out[reg::kBlockCount] = blocks;

    const std::uint16_t crc = core::crc16(out.first(dataSize));
    out[dataSize] = static_cast<std::uint8_t>(crc & 0xFF);
    out[dataSize + 1] = static_cast<std::uint8_t>(crc >> 8);
    return dataSize + kCrcSize;
}

RegisterImageHolder::RegisterImageHolder() = default;

void RegisterImageHolder::publish(const RegisterImage& image) {
    std::lock_guard lock(m_mutex);
    m_image = image;
}

RegisterImage RegisterImageHolder::snapshot() const {
    std::lock_guard lock(m_mutex);
    return m_image;
}

void RegisterImageHolder::raise(OnceFlag flag) {
    std::lock_guard lock(m_mutex);
    switch (flag) {
    case OnceFlag::TriggerChanged:
        m_onceTrigger = true;
        break;
    case OnceFlag::CounterReset:
        m_onceCounterReset = true;
        break;
    case OnceFlag::PhaseSync:
        m_oncePhaseSync = true;
        break;
    case OnceFlag::AwgRun:
        m_onceAwgRun = true;
        break;
    }
}

void RegisterImageHolder::requestTableUpload(CalTableKind kind, const core::CalTable& table) {
    core::CalTable stamped = table;
    stampTableCrc(stamped);
    std::lock_guard lock(m_mutex);
    (kind == CalTableKind::ZeroOffset ? m_zeroUpload : m_systemUpload) = stamped;
}

bool RegisterImageHolder::uploadPending() const {
    std::lock_guard lock(m_mutex);
    return m_zeroUpload.has_value() || m_systemUpload.has_value();
}

bool RegisterImageHolder::tablesBusy() const {
    std::lock_guard lock(m_mutex);
    return m_zeroUpload.has_value() || m_systemUpload.has_value() || m_tableInFlight;
}

void RegisterImageHolder::tableDelivered() {
    std::lock_guard lock(m_mutex);
    m_tableInFlight = false;
}

void RegisterImageHolder::cancelTableUploads() {
    std::lock_guard lock(m_mutex);
    m_zeroUpload.reset();
    m_systemUpload.reset();
    m_tableInFlight = false;
}

void RegisterImageHolder::setFlowControl(bool enabled) {
    std::lock_guard lock(m_mutex);
    m_flowControl = enabled;
}

std::size_t RegisterImageHolder::takeSettingsBody(std::span<std::uint8_t> out) {
    std::lock_guard lock(m_mutex);
    RegisterImage frame = m_image;
    frame.setBits(reg::kCondFlags, kCondOnceTriggerChanged, m_onceTrigger);
    frame.setBits(reg::kFreqMeter, kFreqMeterOnceReset, m_onceCounterReset);
    frame.setBits(reg::kGenShapeReg, kShapeOncePhaseSync, m_oncePhaseSync);
    frame.setBits(reg::kGenShapeReg, kShapeOnceAwgRun, m_onceAwgRun);
    if (m_flowControl) frame.setBits(reg::kRunFlags, kRunFlagFlowControl, true);

    const bool sendZero = m_zeroUpload.has_value();
    const core::CalTable* zero = sendZero ? &*m_zeroUpload : nullptr;
    const core::CalTable* system = (!sendZero && m_systemUpload) ? &*m_systemUpload : nullptr;
    const auto next = static_cast<std::uint8_t>(m_sequence + 1);
    const std::size_t size = buildSettingsBody(frame, next, zero, system, out);
    if (size == 0) return 0;

    m_sequence = next;
    m_onceTrigger = m_onceCounterReset = m_oncePhaseSync = m_onceAwgRun = false;
    m_tableInFlight = zero != nullptr || system != nullptr;
    if (zero != nullptr)
        m_zeroUpload.reset();
    else if (system != nullptr)
        m_systemUpload.reset();
    return size;
}

std::uint8_t RegisterImageHolder::sequence() const {
    std::lock_guard lock(m_mutex);
    return m_sequence;
}

} // namespace kx::device
