// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnalyzerCalibration.h"

#include "analyzers/AntennaAnalyzer.h"
#include "analyzers/AntennaCalFile.h"
#include "analyzers/NetworkAnalyzer.h"
#include "analyzers/NetworkCalFile.h"
#include "analyzers/SweepCalibration.h"
#include "app/AnalyzerEngine.h"
#include "app/AnalyzerPresets.h"
#include "app/BusyFlag.h"
#include "app/ScopeSession.h"
#include "files/FileDialogs.h"

#include <mutex>

namespace kx::app {

namespace {

constexpr files::FileDialogKind kNaSave{
    {"Save NA Calibration", "Сохранение калибровки АЦ"},
    {"NA Calibration File (*.kxc)|*.kxc", "Файл калибровки АЦ (*.kxc)|*.kxc"},
    ".kxc"};
constexpr files::FileDialogKind kNaOpen{{"Open NA Calibration", "Открытие калибровки АЦ"},
                                        {"NA Calibration File (*.kxc)|*.kxc|All Files (*.*)|*.*",
                                         "Файлы калибровки АЦ (*.kxc)|*.kxc|Все файлы (*.*)|*.*"},
                                        ".kxc"};
constexpr files::FileDialogKind kAaSave{
    {"Save AA OSL Calibration", "Сохранение OSL калибровки АА"},
    {"AA OSL Calibration (*.kxo)|*.kxo", "OSL калибровка АА (*.kxo)|*.kxo"},
    ".kxo"};
constexpr files::FileDialogKind kAaOpen{{"Open AA OSL Calibration", "Открытие OSL калибровки АА"},
                                        {"AA OSL Calibration (*.kxo)|*.kxo|All Files (*.*)|*.*",
                                         "OSL калибровка AA (*.kxo)|*.kxo|Все файлы (*.*)|*.*"},
                                        ".kxo"};

std::int32_t planSpan(const core::InstrumentState& s) {
    return analyzers::calibrationPlanSpanHz(s.generator.Gen_200MHz, s.system.DebugMode);
}

} // namespace

void AnalyzerCalibration::run() {
    BusyMark busy(m_s.busyFlag());
    core::InstrumentState& st = m_s.state();
    if (!(m_antenna ? st.analyzer.AA : st.analyzer.NA)) {
        if (m_antenna)
            setAntennaAnalyzer(st, true);
        else
            setNetworkAnalyzer(st, true);
        m_s.settingsChanged();
    }
    m_use = m_antenna ? st.analyzer.AA_Use_Clbr : st.analyzer.NA_Use_Clbr;
    m_saved = true;
    m_engine.setDialogOpen(true);
    SweepCalibrationRun& sweep = m_antenna ? m_engine.antennaSweep() : m_engine.networkSweep();
    sweep.open(m_s.registers(), m_s.requestFlags(), planSpan(st));
    m_s.window().showDialog(m_antenna ? Dialog::AaCalibration : Dialog::NaCalibration);
    sweep.close();
    (m_antenna ? st.analyzer.AA_Use_Clbr : st.analyzer.NA_Use_Clbr) = m_use;
    m_engine.setDialogOpen(false);
    {
        std::lock_guard lock(m_s.frame().mutex);
        m_s.frame().clear();
    }
    m_s.background().clear();
    m_s.settingsChanged();
}

void AnalyzerCalibration::measure(int standard) {
    SweepCalibrationRun& sweep = m_antenna ? m_engine.antennaSweep() : m_engine.networkSweep();
    sweep.begin(standard, m_s.registers(), m_s.requestFlags(), planSpan(m_s.state()));
    m_saved = false;
}

bool AnalyzerCalibration::measuredUnsaved() const {
    const SweepCalibrationRun& sweep = m_antenna ? m_engine.antennaSweep() : m_engine.networkSweep();
    return !m_saved && (m_antenna ? sweep.allDone() : sweep.done(0));
}

void AnalyzerCalibration::setMinus20(bool on) {
    m_s.state().analyzer.NA_m20_dB = on;
}

void AnalyzerCalibration::save() {
    core::InstrumentState& st = m_s.state();
    const bool ru = st.system.RussianUi;
    if (!measuredUnsaved()) return;
    const std::int32_t span = planSpan(st);
    if (m_antenna) {
        const std::string path =
            files::chooseFileToSave(m_s.prompt(), ru, st.system.LastDir, kAaSave, "*.kxo");
        if (path.empty()) return;
        const auto& sweep = m_engine.antennaSweep();
        auto table = analyzers::buildAntennaTerms(sweep.values(0), sweep.values(1), sweep.values(2),
                                                  analyzers::kCalibrationPlanStartHz, span);
        if (!analyzers::saveAntennaCalibrationWithMessage(path, table, m_s.prompt(), ru)) return;
        m_engine.antennaSweep().clearDone();
        m_engine.replaceAntennaTable(std::move(table));
        st.system.AA_Clbr_File = path;
    } else {
        const std::string path =
            files::chooseFileToSave(m_s.prompt(), ru, st.system.LastDir, kNaSave, "*.kxc");
        if (path.empty()) return;
        auto table =
            analyzers::buildNetworkCorrection(m_engine.networkSweep().values(0), st.analyzer.NA_m20_dB,
                                              analyzers::kCalibrationPlanStartHz, span);
        if (!analyzers::saveNetworkCalibrationWithMessage(path, table, m_s.prompt(), ru)) return;
        m_engine.replaceNetworkTable(std::move(table));
        st.system.NA_Clbr_File = path;
    }
    m_saved = true;
    m_use = true;
}

void AnalyzerCalibration::load() {
    core::InstrumentState& st = m_s.state();
    const bool ru = st.system.RussianUi;
    const std::string path =
        files::chooseFileToOpen(m_s.prompt(), ru, st.system.LastDir, m_antenna ? kAaOpen : kNaOpen);
    if (path.empty()) return;
    bool ok = false;
    if (m_antenna) {
        analyzers::AntennaTermTable table;
        ok = analyzers::loadAntennaCalibrationWithMessage(path, table, m_s.prompt(), ru);
        m_engine.replaceAntennaTable(std::move(table));
        st.system.AA_Clbr_File = ok ? path : std::string();
    } else {
        analyzers::NetworkCorrectionTable table;
        ok = analyzers::loadNetworkCalibrationWithMessage(path, table, m_s.prompt(), ru);
        m_engine.replaceNetworkTable(std::move(table));
        st.system.NA_Clbr_File = ok ? path : std::string();
    }
    if (ok) m_use = true;
}

bool AnalyzerCalibration::mayClose() {
    if (!measuredUnsaved()) return true;
    const bool ru = m_s.state().system.RussianUi;
    return m_s.prompt().message(analyzers::warningCaption(ru), analyzers::unsavedCalibrationText(ru),
                                core::MessageStyle::YesNo) == core::Answer::Yes;
}

analyzers::SweepCalibrationView AnalyzerCalibration::view() const {
    const core::InstrumentState& st = m_s.state();
    const bool ru = st.system.RussianUi;
    const SweepCalibrationRun& sweep = m_antenna ? m_engine.antennaSweep() : m_engine.networkSweep();
    analyzers::SweepCalibrationView v;
    v.deviceReady = m_s.flags().DeviceReady.load();
    v.measuring = sweep.step() != 0;
    v.progress = sweep.progress();
    for (int i = 0; i < (m_antenna ? 3 : 1); ++i)
        v.status[static_cast<std::size_t>(i)] =
            analyzers::sweepCalStatusText(sweep.done(i) && !m_saved, sweep.status(i), ru);
    v.saveEnabled = measuredUnsaved();
    if (m_antenna) {
        const auto& t = m_engine.antennaTable();
        v.info = analyzers::calibrationInfoText(t.count, t.startHz, t.spanHz);
    } else {
        const auto& t = m_engine.networkTable();
        v.info = analyzers::calibrationInfoText(t.count, t.startHz, t.spanHz);
    }
    v.useCaption =
        analyzers::useCalibrationCaption(m_antenna ? st.system.AA_Clbr_File : st.system.NA_Clbr_File, ru);
    v.use = m_use;
    v.minus20 = st.analyzer.NA_m20_dB;
    return v;
}

} // namespace kx::app
