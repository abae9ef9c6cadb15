// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Supervision.h"

#include "device/ErrorReport.h"

namespace kx::app {

namespace {

using core::TextPair;

constexpr TextPair kErrorCaption{"Error", "Ошибка"};

constexpr TextPair kLowSupply{"Device power supply is low.\r\nCheck USB cable.",
                              "Низкое напряжение питания устройства.\r\nПроверьте USB кабель."};
constexpr TextPair kNoSystemCalibration{"System calibration hasn't been done or lost.",
                                        "Системная калибровка не выполнена или утеряна."};
constexpr TextPair kNoZeroCalibration{"Zero calibration hasn't been done or lost.",
                                      "Калибровка уровня нуля не выполнена или утеряна."};

constexpr TextPair kUsbLost{"Recover after USB connection lost.\r\nError code 1",
                            "Восстановление после потери связи с устройством.\r\nКод ошибки 1"};
constexpr TextPair kFpgaFailure{"Recover after FPGA configuration failure.\r\nError code 2",
                                "Восстановление после сбоя инициализации FPGA.\r\nКод ошибки 2"};
constexpr TextPair kPowerFailure{"Recover after Power failure.\r\nError code 3",
                                 "Восстановление после сбоя питания устройства.\r\nКод ошибки 3"};
constexpr TextPair kFlashFailure{"Recover after FLASH memory failure.\r\nError code 4",
                                 "Восстановление после сбоя FLASH памяти устройства.\r\nКод ошибки 4"};

constexpr int kNotOpen = 1;

const TextPair& questionText(Recovery what) {
    switch (what) {
    case Recovery::UsbLost:
        return kUsbLost;
    case Recovery::FpgaFailure:
        return kFpgaFailure;
    case Recovery::PowerFailure:
        return kPowerFailure;
    case Recovery::FlashFailure:
    case Recovery::None:
        break;
    }
    return kFlashFailure;
}

// The busy mark for the length of one box or one recovery.
class BusyMark {
public:
    explicit BusyMark(SupervisionHost& host) : m_host(host) { m_host.markBusy(true); }
    ~BusyMark() { m_host.markBusy(false); }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

private:
    SupervisionHost& m_host;
};

// The acquisition thread kept off the driver for the length of one device operation.
class Suspended {
public:
    explicit Suspended(SupervisionHost& host) : m_host(host) { m_host.suspendAcquisition(); }
    ~Suspended() { m_host.resumeAcquisition(); }
    Suspended(const Suspended&) = delete;
    Suspended& operator=(const Suspended&) = delete;

private:
    SupervisionHost& m_host;
};

} // namespace

Supervisor::Supervisor(const SupervisionParts& parts, SupervisionHost& host)
    : m_binding(parts.binding), m_connection(parts.connection), m_flags(parts.flags), m_stats(parts.stats),
      m_status(parts.status), m_registers(parts.registers), m_link(parts.link), m_host(host),
      m_displayedBefore(host.displayedFrames()) {}

void Supervisor::armWarnings() {
    m_lowSupplyArmed = m_systemCalArmed = m_zeroCalArmed = true;
}

Recovery Supervisor::tick() {
    takeStatistics();
    if (m_flags.DeviceReady.load())
        m_stats.silence.fetch_add(1);
    else
        m_stats.silence.store(0);
    // The status text waits while a configuration shows its progress.
    if (m_link.configProgress.load() == 0 && m_awg.statusCountdown > 0) --m_awg.statusCountdown;
    m_flags.RedrawRequest.store(true);

    // An open dialog or file operation comes first; everything below waits for the next tick.
    if (m_host.busy()) return Recovery::None;

    watchAwg();
    showWarnings();
    if (m_connection.DeviceStatus.load() == 0) {
        device::DWORD queued = 0;
        m_connection.DeviceStatus.store(
            static_cast<int>(m_binding.queueStatus(m_connection.handle.load(), queued)));
    }
    const Recovery what = recoveryDue();
    if (what != Recovery::None) recover(what);
    return what;
}

void Supervisor::takeStatistics() {
    const device::LinkCounts c = m_stats.takeSecond();
    const std::uint32_t displayed = m_host.displayedFrames();
    m_shown.displayedFrames = displayed - m_displayedBefore; // the counter may wrap
    m_displayedBefore = displayed;
    m_shown.dataPackets = c.dataPackets;
    m_shown.statusPackets = c.statusPackets;
    m_shown.crcErrors = c.crcErrors;
    m_shown.leakage = c.leakage;
    m_shown.bytesRead = c.bytesRead;
    m_shown.maxQueue = c.maxQueue;
}

void Supervisor::watchAwg() {
    // Looked at on every tick, so an edit made while no table was loaded (the compilation that
    // loads it reads the edit anyway) does not count once a table is loaded again.
    const bool edited = m_awgWatch.changed(m_host.awgFile());
    if (edited && m_link.awgLoaded.load()) m_awg.pending = AwgCompilation::FileChanged;
    if (m_awg.pending == AwgCompilation::None) return;
    const bool quiet = m_awg.pending == AwgCompilation::QuietReload;
    // Cleared first: a request the compilation raises itself is kept for the next tick.
    m_awg.pending = AwgCompilation::None;
    BusyMark busy(m_host);
    m_host.compileAwg(quiet);
}

void Supervisor::showWarnings() {
    if (!m_flags.DeviceReady.load()) return;
    const device::StatusInfo s = m_status.snapshot();
    // Each is disarmed before its box opens, so it shows once per start of acquisition.
    if (m_lowSupplyArmed && s.supplyMillivolts < kLowSupplyMv) {
        m_lowSupplyArmed = false;
        warn(kLowSupply);
    }
    // A failed flash explains the missing tables; its own recovery follows.
    if (m_systemCalArmed && !s.flashFailure && !s.systemTableRead && m_flags.DeviceReady.load()) {
        m_systemCalArmed = false;
        warn(kNoSystemCalibration);
    }
    if (m_zeroCalArmed && !s.flashFailure && !s.zeroTableRead && m_flags.DeviceReady.load()) {
        m_zeroCalArmed = false;
        warn(kNoZeroCalibration);
    }
}

void Supervisor::warn(const core::TextPair& text) {
    const bool ru = m_host.russian();
    BusyMark busy(m_host);
    m_host.prompt().message(core::kWarningCaption.pick(ru), text.pick(ru), core::MessageStyle::Warning);
}

Recovery Supervisor::recoveryDue() const {
    const bool ready = m_flags.DeviceReady.load();
    if (m_connection.DeviceStatus.load() != 0 && ready) return Recovery::UsbLost;
    if (m_stats.silence.load() > kSilenceLimit) return Recovery::PowerFailure;
    if (ready && m_status.snapshot().flashFailure) return Recovery::FlashFailure;
    if (m_link.transferFailed.load()) return Recovery::FpgaFailure;
    return Recovery::None;
}

void Supervisor::recover(Recovery what) {
    BusyMark busy(m_host);
    // Saved first, so a crash while reconnecting loses nothing.
    m_host.saveProgramSettings();
    // With the link gone there is nothing to reset.
    if (what != Recovery::UsbLost) resetInstrument();
    m_flags.DeviceReady.store(false);
    if (what == Recovery::PowerFailure) m_stats.silence.store(0);

    const bool ru = m_host.russian();
    const TextPair& caption = what == Recovery::FlashFailure ? kErrorCaption : core::kWarningCaption;
    const core::Answer answer =
        m_host.prompt().message(caption.pick(ru), questionText(what).pick(ru), core::MessageStyle::YesNo);

    // A loaded AWG program goes back into the instrument without a word once it is ready again.
    if (m_link.awgLoaded.load()) m_awg.pending = AwgCompilation::QuietReload;
    m_host.clearAwgMarks();
    forgetInstrument();

    if (answer == core::Answer::Yes) {
        int status = 0;
        {
            Suspended suspended(m_host);
            status = m_host.reopenDevice();
        }
        m_connection.DeviceStatus.store(status);
        if (status != 0) {
            device::reportUsbError(m_host.prompt(), status, ru);
            m_host.releaseRunButtons();
        } else {
            m_flags.ReconfigureRequest.store(true);
        }
    } else {
        if (m_connection.DeviceStatus.load() == 0) closeDevice();
        m_connection.DeviceStatus.store(kNotOpen);
        m_host.releaseRunButtons();
        m_awg.pending = AwgCompilation::None;
    }
    m_host.settingsChanged();
}

void Supervisor::resetInstrument() {
    Suspended suspended(m_host);
    device::resetInstrument(m_binding, m_connection);
    // Cleared before the thread runs again: the reset instrument takes no settings frame.
    m_flags.DeviceReady.store(false);
}

void Supervisor::forgetInstrument() {
    m_link.awgLoaded.store(false);
    m_flags.DeviceConfigured.store(false);
    m_status.update([](device::StatusInfo& s) {
        s.zeroTableRead = false;
        s.systemTableRead = false;
        s.flashFailure = false;
    });
    m_link.transferFailed.store(false);
    m_registers.cancelTableUploads();
    m_host.loadBuiltInCalibration();
}

void Supervisor::closeDevice() {
    Suspended suspended(m_host);
    const device::FT_HANDLE handle = m_connection.handle.exchange(nullptr);
    m_connection.opened.store(false);
    if (handle != nullptr) m_binding.close(handle);
}

} // namespace kx::app
