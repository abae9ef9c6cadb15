// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FilesController.h"

#include "analyzers/AnalyzerSettingsMap.h"
#include "analyzers/SweepExport.h"
#include "app/FileDispatch.h"
#include "app/GeneratorController.h"
#include "app/ScopeSession.h"
#include "core/DeviceModel.h"
#include "files/RecorderDialog.h"
#include "files/SettingsDialogs.h"
#include "files/SettingsFile.h"

#include <mutex>

namespace kx::app {

void FilesController::openDataWithDialog() {
    BusyMark busy(m_s.busyFlag());
    auto& sys = m_s.state().system;
    const std::string path = files::chooseOpenDataFile(m_s.prompt(), sys.RussianUi, sys.LastDir);
    if (!path.empty()) openDataFile(path);
}

void FilesController::saveDataWithDialog() {
    BusyMark busy(m_s.busyFlag());
    auto& sys = m_s.state().system;
    const bool ru = sys.RussianUi;
    const std::string path = files::chooseSaveDataFile(m_s.prompt(), ru, sys.LastDir, m_s.names());
    if (path.empty()) return;
    files::DataFileRecords records = m_s.dataFileRecords();
    files::SaveDataFileOptions o;
    o.russian = ru;
    o.backgroundView = m_s.state().display.BgShow;
    o.underLock = [this](const std::function<void()>& work) {
        std::scoped_lock lock(m_s.frame().mutex, m_s.background().mutex);
        work();
    };
    o.writeSettings = [this](const std::string& settings) {
        files::WriteContext context;
        context.awgLoaded = m_s.awgLoaded();
        return files::WriteSettingsFile(settings, files::SettingsKind::User, m_s.state(), context,
                                        m_s.prompt());
    };
    o.refresh = [this] { m_s.refresh(); };
    files::SaveDataFile(path, records, m_s.names(), m_s.prompt(), o);
}

void FilesController::openSettingsWithDialog() {
    BusyMark busy(m_s.busyFlag());
    auto& sys = m_s.state().system;
    const std::string path = files::chooseOpenSettingsFile(m_s.prompt(), sys.RussianUi, sys.LastDir);
    if (!path.empty()) openSettingsFile(path);
}

void FilesController::saveSettingsWithDialog() {
    BusyMark busy(m_s.busyFlag());
    auto& sys = m_s.state().system;
    const files::DataFileNames& names = m_s.names();
    const std::string path = files::chooseSaveSettingsFile(m_s.prompt(), sys.RussianUi, sys.LastDir,
                                                           names.dataFileNameKnown ? names.dataFileName : "");
    if (path.empty()) return;
    files::WriteContext context;
    context.awgLoaded = m_s.awgLoaded();
    files::SaveSettingsFile(path, m_s.state(), context, m_s.prompt());
}

void FilesController::help() {
    BusyMark busy(m_s.busyFlag());
    m_s.window().showHelp();
}

void FilesController::dispatch(const std::string& path, FileOrigin origin) {
    BusyMark busy(m_s.busyFlag());
    switch (dispatchKind(path, origin == FileOrigin::Drop)) {
    case FileKind::AwgScript:
        m_s.generator().loader().loadUnattended(path);
        m_s.apply(Effect::None);
        break;
    case FileKind::Settings:
        openSettingsFile(path);
        break;
    case FileKind::Data:
        openDataFile(path);
        break;
    case FileKind::Unsupported:
        reportUnsupportedFile(m_s.prompt(), path, m_s.state().system.RussianUi);
        break;
    }
    const std::string dir = fileDirectory(path);
    if (!dir.empty()) m_s.state().system.LastDir = dir;
}

void FilesController::handOver(const std::string& file, int paramCount) {
    m_s.window().raiseWindow();
    if (paramCount == 0 || file.empty()) return;
    dispatch(file, FileOrigin::HandOver);
}

files::OpenDataFileOptions FilesController::openOptions() {
    files::OpenDataFileOptions o;
    auto& state = m_s.state();
    o.underLock = [this](const std::function<void()>& work) {
        std::scoped_lock lock(m_s.frame().mutex, m_s.background().mutex);
        work();
    };
    o.russian = state.system.RussianUi;
    o.frameCleared = [this] { m_s.spectrum().restartAndRecomputeAll(); };
    o.fftRequests = [this](const files::FftRequests& r) { m_s.spectrum().applyFileRequests(r); };
    o.uiDeviceType = static_cast<std::uint32_t>(state.system.UiDeviceType);
    o.backgroundLoaded = [&state] { state.display.BgShow = true; };
    o.clearModelCheck = [&state] { state.system.ModelCheckPending = false; };
    o.switchModel = [this, &state](std::uint32_t type) {
        state.system.UiDeviceType = static_cast<std::int32_t>(type);
        m_s.apply(Effect::ModelFeatures | Effect::Layout | Effect::Captions);
        return core::modelName(static_cast<std::int32_t>(type));
    };
    o.refresh = [this] { m_s.refresh(); };
    o.readSettings = [this, &state](const std::string& path) {
        const files::ReadResult r =
            files::ReadSettingsFile(path, files::SettingsKind::User, state, m_s.prompt());
        m_s.applyModelFeatureSet();
        m_s.settingsFileRead();
        return r.markerFound && !r.refused;
    };
    o.settingsChanged = [this] { m_s.settingsChanged(); };
    return o;
}

void FilesController::openDataFile(const std::string& path) {
    BusyMark busy(m_s.busyFlag());
    files::DataFileRecords records = m_s.dataFileRecords();
    files::OpenDataFile(path, records, m_s.names(), m_s.prompt(), openOptions());
    m_s.apply(Effect::Refresh);
}

void FilesController::openSettingsFile(const std::string& path) {
    BusyMark busy(m_s.busyFlag());
    files::OpenSettingsFile(path, m_s.state(), m_s.prompt());
    m_s.settingsFileRead();
    m_s.spectrum().restartAndRecomputeAll();
    m_s.apply(kModelEffects);
}

files::ExportContext FilesController::exportContext() {
    auto& sys = m_s.state().system;
    return files::ExportContext{m_s.prompt(), sys.RussianUi, sys.LastDir, m_s.names(),
                                m_s.options().decimalSeparator};
}

const core::FrameRecord& FilesController::frameCopy() {
    if (!m_copy) m_copy = std::make_unique<core::FrameRecord>();
    files::snapshotFrame(m_s.frame(), *m_copy);
    return *m_copy;
}

void FilesController::exportFrame(Export what) {
    BusyMark busy(m_s.busyFlag());
    files::ExportContext context = exportContext();
    const files::ChannelSet shown = files::shownChannels(m_s.state());
    switch (what) {
    case Export::Image:
        files::ExportImage(context, m_s.window().screenPixels());
        break;
    case Export::Text:
        files::ExportText(context, frameCopy(), shown);
        break;
    case Export::Csv:
        if (m_s.state().analyzer.analyzerOn())
            exportSweep(context, files::SweepFormat::Csv);
        else
            files::ExportCsv(context, frameCopy(), shown);
        break;
    case Export::Touchstone:
        if (m_s.state().analyzer.AA) exportSweep(context, files::SweepFormat::Touchstone);
        break;
    case Export::Vcd:
        files::ExportVcd(context, frameCopy(), shown);
        break;
    case Export::Sigrok:
        files::ExportSigrok(context, frameCopy(), shown);
        break;
    }
    m_s.apply(Effect::None);
}

void FilesController::exportSweep(files::ExportContext& context, files::SweepFormat format) {
    const core::FrameRecord& frame = frameCopy();
    const bool antenna = m_s.state().analyzer.AA;
    if (!analyzers::sweepHasData(frame, antenna ? 2u : 1u)) {
        files::ExportSweep(context, format, nullptr);
        return;
    }
    // The same texts as kx48zz-tool analyze writes.
    const std::string text =
        format == files::SweepFormat::Touchstone ? analyzers::touchstoneS1p(frame)
        : antenna ? analyzers::antennaSweepCsv(frame, analyzers::antennaZoFrom(m_s.state().analyzer))
                  : analyzers::networkSweepCsv(frame);
    files::ExportSweep(context, format, &text);
}

void FilesController::exportRaw(core::Channel channel) {
    BusyMark busy(m_s.busyFlag());
    files::ExportContext context = exportContext();
    files::ExportRawBinary(context, frameCopy(), channel);
    m_s.apply(Effect::None);
}

void FilesController::recorder() {
    BusyMark busy(m_s.busyFlag());
    const core::InstrumentState& s = m_s.state();
    files::RecorderConditions c;
    c.running = s.scope.Running;
    c.rollMode = m_s.derived().RollMode;
    c.deviceReady = m_s.flags().DeviceReady.load();
    c.deviceStatus = m_s.connectionStatus();
    c.a1Shown = s.scope.A1.shown;
    c.networkAnalyzer = s.analyzer.NA;
    c.antennaAnalyzer = s.analyzer.AA;
    if (!files::checkRecorderConditions(m_s.prompt(), s.system.RussianUi, c)) return;
    m_s.showDialog(Dialog::Recorder);
    m_s.apply(Effect::Refresh);
}

} // namespace kx::app
