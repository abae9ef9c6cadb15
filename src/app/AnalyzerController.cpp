// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnalyzerController.h"

#include "analyzers/AntennaCalFile.h"
#include "analyzers/NetworkCalFile.h"
#include "app/AnalyzerPresets.h"
#include "app/ScopeSession.h"

namespace kx::app {

AnalyzerController::AnalyzerController(ScopeSession& session)
    : m_s(session), m_engine(std::make_unique<AnalyzerEngine>(session.registers(), session.requestFlags(),
                                                              session.frame())) {}

void AnalyzerController::toggleNetwork() {
    setNetworkAnalyzer(m_s.state(), !m_s.state().analyzer.NA);
    m_s.apply(Effect::SettingsChanged);
}

void AnalyzerController::toggleAntenna() {
    setAntennaAnalyzer(m_s.state(), !m_s.state().analyzer.AA);
    m_s.apply(Effect::SettingsChanged);
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
