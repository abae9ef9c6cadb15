// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AwgFileWatch.h"
#include "core/Prompt.h"
#include "core/Text.h"
#include "device/Connection.h"
#include "device/D2xxBinding.h"
#include "device/DeviceLink.h"
#include "device/LinkStatistics.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"
#include "device/StatusInfo.h"

#include <cstdint>
#include <string>

namespace kx::app {

// The main window's side of the supervision. Every call comes from the GUI thread, from inside
// Supervisor::tick().
class SupervisionHost {
public:
    virtual ~SupervisionHost() = default;

    // InstanceBusyEvent is signalled: a dialog or a file operation is open.
    virtual bool busy() = 0;
    // Nesting busy mark; the supervisor pairs every true with a false.
    virtual void markBusy(bool on) = 0;
    virtual core::Prompt& prompt() = 0;
    virtual bool russian() = 0;
    // Writes the program settings file (done before every recovery).
    virtual void saveProgramSettings() = 0;
    // Between these two the acquisition thread must not touch the driver: the supervisor resets,
    // re-opens or closes the device meanwhile. The thread may be waiting in a synchronised update
    // when suspend is called; that call has to be served for the thread to get out of the way.
    virtual void suspendAcquisition() = 0;
    virtual void resumeAcquisition() = 0;
    // Opens the device again as the start-up does (device::openDevice with the window's options
    // and event); returns the status, which the supervisor stores in DeviceStatus.
    virtual int reopenDevice() = 0;
    // SpeedButton_Run, SpeedButton_Sngl and SpeedButton_GenOn up: Running, SingleMode and the
    // generator's On cleared in the state, the buttons synchronised.
    virtual void releaseRunButtons() = 0;
    // The settings-changed notification.
    virtual void settingsChanged() = 0;
    // The program's copies of both calibration tables back to the built-in ones.
    virtual void loadBuiltInCalibration() = 0;
    // Frames drawn since start (counted by the synchronised update).
    virtual std::uint32_t displayedFrames() = 0;

    // The AWG loader. The path of the loaded script (AWG_File).
    virtual std::string awgFile() { return {}; }
    // Compiles the loaded script and requests its upload; quiet puts the result into the panel's
    // status text instead of a message box.
    virtual void compileAwg(bool /*quiet*/) {}
    // Empties ComboBox_AWG, so the next compilation chooses its first entry.
    virtual void clearAwgMarks() {}
};

// The AWG loader's requests that the supervision performs.
enum class AwgCompilation : std::uint8_t { None = 0, FileChanged = 1, QuietReload = 2 };

struct AwgSupervision {
    AwgCompilation pending = AwgCompilation::None;
    // Ticks left for the panel's status text; counted down once a second.
    int statusCountdown = 0;
};

// What a tick recovered from; the value is the error code its question shows.
enum class Recovery : std::uint8_t {
    None = 0,
    UsbLost = 1,
    FpgaFailure = 2,
    PowerFailure = 3,
    FlashFailure = 4
};

// Everything the supervision reads and clears; all of it outlives the supervisor.
struct SupervisionParts {
    const device::D2xxBinding& binding;
    device::Connection& connection;
    device::RequestFlags& flags;
    device::LinkStatistics& stats;
    device::StatusBoard& status;
    device::RegisterImageHolder& registers;
    device::DeviceLink& link; // AWG-loaded, transfer-failed, configuration progress
};

// Timer1: once a second it takes the link statistics, counts the silence of the instrument, shows
// the once-per-run warnings, reloads a changed AWG script, probes the connection and recovers
// from a lost link, lost power, a failed transfer or a failed flash memory. GUI thread only.
class Supervisor {
public:
    // More seconds without a status packet than this mean the instrument has lost its supply.
    static constexpr std::uint32_t kSilenceLimit = 8;
    static constexpr std::int32_t kLowSupplyMv = 4400;

    Supervisor(const SupervisionParts& parts, SupervisionHost& host);

    // One Timer1 tick.
    Recovery tick();
    // RUN, SINGLE and generator ON: each warning may be shown once more.
    void armWarnings();

    [[nodiscard]] const device::ShownStatistics& shown() const { return m_shown; }
    AwgSupervision& awg() { return m_awg; }
    [[nodiscard]] const AwgSupervision& awg() const { return m_awg; }

private:
    void takeStatistics();
    void watchAwg();
    void showWarnings();
    void warn(const core::TextPair& text);
    [[nodiscard]] Recovery recoveryDue() const;
    void recover(Recovery what);
    void resetInstrument();
    void forgetInstrument();
    void closeDevice();

    const device::D2xxBinding& m_binding;
    device::Connection& m_connection;
    device::RequestFlags& m_flags;
    device::LinkStatistics& m_stats;
    device::StatusBoard& m_status;
    device::RegisterImageHolder& m_registers;
    device::DeviceLink& m_link;
    SupervisionHost& m_host;

    device::ShownStatistics m_shown;
    std::uint32_t m_displayedBefore = 0;
    AwgSupervision m_awg;
    AwgFileWatch m_awgWatch;
    bool m_lowSupplyArmed = false;
    bool m_systemCalArmed = false;
    bool m_zeroCalArmed = false;
};

} // namespace kx::app
