// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnalyzerController.h"

#include "analyzers/AntennaCalFile.h"
#include "analyzers/NetworkCalFile.h"
#include "app/AnalyzerPresets.h"
#include "app/AssemblySettings.h"
#include "app/BusyFlag.h"
#include "app/ScopeSession.h"
#include "core/DeviceModel.h"

#include <mutex>

namespace kx::app {

AnalyzerController::AnalyzerController(ScopeSession& session)
    : m_s(session), m_engine(std::make_unique<AnalyzerEngine>(session.registers(), session.requestFlags(),
                                                              session.frame())),
      m_networkCalibration(std::make_unique<AnalyzerCalibration>(session, *m_engine, false)),
      m_antennaCalibration(std::make_unique<AnalyzerCalibration>(session, *m_engine, true)) {}

void AnalyzerController::toggleNetwork() {
    setNetworkAnalyzer(m_s.state(), !m_s.state().analyzer.NA);
    m_s.apply(Effect::SettingsChanged);
}

void AnalyzerController::toggleAntenna() {
    setAntennaAnalyzer(m_s.state(), !m_s.state().analyzer.AA);
    m_s.apply(Effect::SettingsChanged);
}

void AnalyzerController::lcMeter() {
    BusyMark busy(m_s.busyFlag());
    core::InstrumentState& st = m_s.state();
    const core::AcquisitionState savedScope = st.scope;
    const core::FftState savedFft = st.fft;
    const bool savedNa = st.analyzer.NA, savedAa = st.analyzer.AA;

    st.scope.A1.shown = true;
    st.scope.A2.shown = false;
    st.scope.CH_D1 = st.scope.CH_D2 = st.scope.CH_D3 = st.scope.CH_D4 = false;
    st.scope.A1.probe = 0;
    st.fft.View_A1 = st.fft.View_A2 = false;
    st.analyzer.NA = st.analyzer.AA = false;
    st.scope.Running = true;
    st.scope.SingleMode = false;
    m_s.settingsChanged();

    LcInstrument instrument;
    instrument.compactFrontEnd = core::hasCompactFrontEnd(st.system.UiDeviceType);
    instrument.zeroTable = st.calibration.ZeroTable;
    instrument.systemTable = st.calibration.SystemTable;
    LcMeterDriver& lc = m_engine->lcMeter();
    lc.open(instrument, st.system.DebugMode, st.system.RussianUi);
    // The dialog's own record length, for the parser.
    if (acquisition::ScopeThread* thread = m_s.scopeThread())
        thread->publishAssembly(assemblyContext(st, m_s.derived(), m_s.registers().snapshot()),
                                analyzers::lcInitialRegisters(instrument.compactFrontEnd).points);
    m_s.window().showDialog(Dialog::LcMeter);
    lc.close();
    {
        std::lock_guard lock(m_s.frame().mutex);
        m_s.frame().clear();
    }
    st.scope.A1.shown = savedScope.A1.shown;
    st.scope.A2.shown = savedScope.A2.shown;
    st.scope.CH_D1 = savedScope.CH_D1;
    st.scope.CH_D2 = savedScope.CH_D2;
    st.scope.CH_D3 = savedScope.CH_D3;
    st.scope.CH_D4 = savedScope.CH_D4;
    st.scope.A1.probe = savedScope.A1.probe;
    st.scope.A1.Zero = savedScope.A1.Zero;
    st.scope.Running = savedScope.Running;
    st.scope.SingleMode = savedScope.SingleMode;
    st.fft = savedFft;
    st.analyzer.NA = savedNa;
    st.analyzer.AA = savedAa;
    m_s.settingsChanged();
}

void AnalyzerController::loadCalibrationFiles() {
    auto& sys = m_s.state().system;
    const bool ru = sys.RussianUi;
    if (!sys.NA_Clbr_File.empty()) {
        analyzers::NetworkCorrectionTable table;
        if (!analyzers::loadNetworkCalibrationWithMessage(sys.NA_Clbr_File, table, m_s.prompt(), ru))
            sys.NA_Clbr_File.clear();
        m_engine->replaceNetworkTable(std::move(table));
    }
    if (!sys.AA_Clbr_File.empty()) {
        analyzers::AntennaTermTable table;
        if (!analyzers::loadAntennaCalibrationWithMessage(sys.AA_Clbr_File, table, m_s.prompt(), ru))
            sys.AA_Clbr_File.clear();
        m_engine->replaceAntennaTable(std::move(table));
    }
}

void AnalyzerController::publishUse() {
    const auto& a = m_s.state().analyzer;
    m_engine->setUse(a.NA_Use_Clbr, a.AA_Use_Clbr);
}

} // namespace kx::app
