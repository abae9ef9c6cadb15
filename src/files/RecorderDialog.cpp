// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RecorderDialog.h"

#include "core/NumberFormat.h"
#include "core/Text.h"
#include "files/DataFileTexts.h"
#include "files/FileDialogs.h"
#include "files/FileOutput.h"
#include "files/RecorderTexts.h"

#include <filesystem>

namespace kx::files {

namespace fh = core::fh;
using core::MessageStyle;

namespace {

// MBytes per hour for one sample per second: 3600 x bytes per sample / 2^20.
constexpr double kSpeedPeak = 3600.0 * 4.0 / 1048576.0;
constexpr double kSpeedPlain = 3600.0 * 2.0 / 1048576.0;

} // namespace

bool checkRecorderConditions(core::Prompt& prompt, bool russian, const RecorderConditions& c) {
    const bool ok = c.running && c.rollMode && c.deviceReady && c.deviceStatus == 0 && c.a1Shown &&
                    !c.networkAnalyzer && !c.antennaAnalyzer;
    if (!ok)
        prompt.message(texts::kRecorderRefusedTitle.pick(russian), texts::kRecorderRefused.pick(russian),
                       MessageStyle::Error);
    return ok;
}

RecorderDialog::RecorderDialog(BinaryRecorder& recorder, core::Prompt& prompt, RecorderClock& clock,
                               std::function<core::FrameHeader()> frameHeader,
                               std::function<void()> recordingChanged)
    : m_recorder(recorder), m_prompt(prompt), m_clock(clock), m_frameHeader(std::move(frameHeader)),
      m_recordingChanged(std::move(recordingChanged)) {}

void RecorderDialog::open(bool russian, const std::string& lastDir, char decimalSeparator) {
    m_russian = russian;
    m_separator = decimalSeparator;
    m_buttons = Buttons{};
    m_file = (std::filesystem::path(lastDir) / "recorder.bin").string();
    m_showCounters = false;
    m_start = m_last = m_clock.now();
    rebuildInfo();
}

void RecorderDialog::chooseFile(std::string& lastDir) {
    const FileDialogKind kind{texts::kRecorderFileTitle, texts::kRecorderFilter, ".bin"};
    const std::string path = chooseFileToSave(m_prompt, m_russian, lastDir, kind, "*.bin");
    if (path.empty()) return;
    m_file = path;
    m_showCounters = false;
    rebuildInfo();
}

bool RecorderDialog::start() {
    const std::string title = pick(texts::kRecorderFileTitle);
    if (fileExists(m_file) && m_prompt.message(title, m_file + pick(texts::kCompanionExists),
                                               MessageStyle::YesNo) != core::Answer::Yes)
        return false;
    if (!m_recorder.start(m_file)) {
        m_prompt.message(title, m_file + pick(texts::kCantWrite), MessageStyle::Error);
        return false;
    }
    m_start = m_last = m_clock.now();
    m_showCounters = true;
    m_buttons = {false, false, true, false};
    rebuildInfo();
    m_info.push_back(pick(texts::kInfoStart) + m_clock.dateTime(m_start));
    if (m_recordingChanged) m_recordingChanged();
    return true;
}

bool RecorderDialog::stop(bool closing) {
    if (!m_recorder.recording()) return true;
    if (m_prompt.message(pick(core::kWarningCaption), pick(texts::kRecorderStopQuestion),
                         MessageStyle::YesNo) != core::Answer::Yes)
        return false;
    m_recorder.stop();
    if (m_recordingChanged) m_recordingChanged();
    if (!closing) m_buttons = Buttons{};
    m_info.push_back(pick(texts::kInfoStop) + m_clock.dateTime(m_last));
    writeTextFile();
    return true;
}

void RecorderDialog::tick() {
    if (m_recorder.recording()) m_last = m_clock.now();
}

double RecorderDialog::elapsedSeconds() const {
    return std::chrono::duration<double>(m_last - m_start).count();
}

std::string RecorderDialog::sizeLabel() const {
    if (!m_showCounters) return pick(texts::kRecorderSizeIdle);
    std::string s = pick(texts::kRecorderSize) + groupedDigits(2 * m_recorder.total()) +
                    pick(texts::kRecorderBytes) + pick(texts::kRecorderLabelTime) +
                    recorderDuration(elapsedSeconds());
    if (m_recorder.lost() > 0)
        s += pick(texts::kRecorderLabelLost) + groupedDigits(2 * m_recorder.lost()) +
             pick(texts::kRecorderBytes);
    return s;
}

void RecorderDialog::rebuildInfo() {
    m_info.clear();
    const core::FrameHeader h = m_frameHeader ? m_frameHeader() : core::FrameHeader{};
    const std::uint64_t periodPs = h.get64(fh::SamplePeriodPs);
    if (periodPs == 0) {
        m_info.emplace_back(pick(texts::kInfoNotReady));
        m_buttons.start = false;
    } else {
        const bool peak = h[fh::PeakDetect] != 0;
        const double rate = 1e12 / static_cast<double>(periodPs);
        m_info.push_back(pick(texts::kInfoRate) +
                         core::formatNumber(rate, core::UnitType::Frequency, -3, m_separator));
        m_info.emplace_back(pick(peak ? texts::kInfoPeakOn : texts::kInfoPeakOff));
        m_info.emplace_back(pick(texts::kInfoFormat));
        m_info.push_back(pick(texts::kInfoSpeed) +
                         core::formatFixed(rate * (peak ? kSpeedPeak : kSpeedPlain), 6, m_separator) +
                         pick(texts::kInfoSpeedUnit));
        m_info.emplace_back();
        m_info.push_back(pick(texts::kInfoTimeStep) +
                         core::formatNumber(static_cast<double>(periodPs) / 1000.0, core::UnitType::Time, -4,
                                            m_separator));
        m_info.push_back(pick(texts::kInfoVoltageStep) +
                         core::formatNumber(static_cast<double>(h[fh::ScaleA1]) * 8.0 / 65536.0,
                                            core::UnitType::Voltage, -7, m_separator));
        const std::uint32_t zero = h[fh::ZeroA1];
        const long long z = zero < 65536 ? static_cast<long long>(zero) - 32768 : 32767;
        m_info.push_back(pick(texts::kInfoZero) + std::to_string(z));
    }
    m_info.emplace_back();
}

void RecorderDialog::writeTextFile() {
    const std::string path = withExtension(m_file, ".txt");
    const std::string title = pick(texts::kRecorderTextTitle);
    if (fileExists(path) && m_prompt.message(title, path + pick(texts::kCompanionExists),
                                             MessageStyle::YesNo) != core::Answer::Yes)
        return;
    std::string text = pick(texts::kRecorderTextFile) + fileNameOf(m_file) + "\r\n\r\n";
    for (const std::string& line : m_info) text += line + "\r\n";
    text += pick(texts::kRecorderSize) + std::to_string(2 * m_recorder.total()) +
            pick(texts::kRecorderBytes) + "\r\n";
    text += pick(texts::kRecorderTime) + recorderDuration(elapsedSeconds()) + "\r\n";
    if (m_recorder.lost() > 0)
        text += pick(texts::kRecorderLost) + std::to_string(2 * m_recorder.lost()) +
                pick(texts::kRecorderBytes) + "\r\n";
    if (!writeWholeFile(path, text))
        m_prompt.message(title, path + pick(texts::kCantWrite), MessageStyle::Error);
}

} // namespace kx::files
