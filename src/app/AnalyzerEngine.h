// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/AssemblyHooks.h"
#include "analyzers/CorrectionTables.h"
#include "app/LcMeterDriver.h"
#include "app/SweepCalibrationRun.h"
#include "core/FrameRecord.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"

#include <atomic>

namespace kx::app {

// The analyzers' side of waveform assembly, without windows: the correction tables with their
// use flags, the two calibration sweeps and the LC meter, and the hooks that run them for every
// frame. The program and kx48zz-tool both drive it.
class AnalyzerEngine {
public:
    // frame: the record assembly fills (its lock guards the tables).
    AnalyzerEngine(device::RegisterImageHolder& registers, device::RequestFlags& flags,
                   core::FrameRecord& frame);

    // Sets the analyzer hooks (the caller's other hooks stay).
    void installHooks(acquisition::AssemblyHooks& hooks);

    // The use flags as assembly reads them; both read as off while a calibration dialog is open.
    void setUse(bool network, bool antenna);
    void setDialogOpen(bool open);

    // GUI thread; a replacement waits for the frame being assembled.
    const analyzers::NetworkCorrectionTable& networkTable() const { return m_network; }
    const analyzers::AntennaTermTable& antennaTable() const { return m_antenna; }
    void replaceNetworkTable(analyzers::NetworkCorrectionTable table);
    void replaceAntennaTable(analyzers::AntennaTermTable table);

    SweepCalibrationRun& networkSweep() { return m_networkSweep; }
    SweepCalibrationRun& antennaSweep() { return m_antennaSweep; }
    LcMeterDriver& lcMeter() { return m_lc; }

    device::RegisterImageHolder& registers() { return m_registers; }
    device::RequestFlags& flags() { return m_flags; }

private:
    // The flags assembly reads.
    void publishUse();

    device::RegisterImageHolder& m_registers;
    device::RequestFlags& m_flags;
    core::FrameRecord& m_frame;
    analyzers::NetworkCorrectionTable m_network;
    analyzers::AntennaTermTable m_antenna;
    bool m_wantNetwork = false;
    bool m_wantAntenna = false;
    bool m_dialogOpen = false;
    std::atomic<bool> m_useNetwork{false};
    std::atomic<bool> m_useAntenna{false};
    SweepCalibrationRun m_networkSweep{false};
    SweepCalibrationRun m_antennaSweep{true};
    LcMeterDriver m_lc;
};

} // namespace kx::app
