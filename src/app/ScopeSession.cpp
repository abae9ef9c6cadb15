// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScopeSession.h"

#include "app/AnalyzerController.h"
#include "app/ApplySettings.h"
#include "app/AssemblySettings.h"
#include "app/DecoderController.h"
#include "app/CalibrationController.h"
#include "app/DeviceRecordFromStatus.h"
#include "app/FilesController.h"
#include "app/GeneratorController.h"
#include "app/ScopeController.h"
#include "app/Supervision.h"
#include "app/ViewController.h"
#include "app/WindowCaption.h"
#include "core/DeviceModel.h"
#include "device/DeviceLink.h"
#include "device/DeviceOpen.h"
#include "device/ErrorReport.h"
#include "files/SettingsFile.h"
#include "generator/AwgLoader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kx::app {

namespace {

bool startsWithTrm(const std::string& exePath) {
    std::string base = std::filesystem::path(exePath).filename().string();
    if (base.size() < 3) return false;
    base.resize(3);
    for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return base == "TRM";
}

std::string baseName(const std::string& exePath) {
    return std::filesystem::path(exePath).stem().string();
}

} // namespace

// What the connection supervision asks of the program.
class ScopeSession::SupervisionAdapter : public SupervisionHost {
public:
    explicit SupervisionAdapter(ScopeSession& s) : m_s(s) {}
    bool busy() override { return m_s.busy(); }
    void markBusy(bool on) override { on ? m_s.m_busy.mark() : m_s.m_busy.unmark(); }
    core::Prompt& prompt() override { return m_s.m_prompt; }
    bool russian() override { return m_s.m_state.system.RussianUi; }
    void saveProgramSettings() override { m_s.writeProgramSettings(); }
    void suspendAcquisition() override { m_s.suspendAcquisition(); }
    void resumeAcquisition() override { m_s.resumeAcquisition(); }
    int reopenDevice() override { return m_s.openInstrument(); }
    void releaseRunButtons() override {
        m_s.m_state.scope.Running = false;
        m_s.m_state.scope.SingleMode = false;
        m_s.m_state.generator.On = false;
        m_s.m_view.syncControls();
    }
    void settingsChanged() override { m_s.settingsChanged(); }
    void loadBuiltInCalibration() override { m_s.m_state.calibration = core::CalibrationState{}; }
    std::uint32_t displayedFrames() override { return m_s.m_thread ? m_s.m_thread->displayedFrames() : 0; }
    std::string awgFile() override { return m_s.m_state.generator.AWG_File; }
    void compileAwg(bool quiet) override { m_s.m_generator->loader().compileLoaded(quiet); }
    void clearAwgMarks() override { m_s.m_generator->loader().clearMarks(); }

private:
    ScopeSession& m_s;
};

ScopeSession::ScopeSession(SessionOptions options, SessionView& view, acquisition::GuiBridge& bridge,
                           core::Prompt& prompt, BusyFlag& busy)
    : m_options(std::move(options)), m_view(view), m_bridge(bridge), m_prompt(prompt), m_busy(busy),
      m_frame(std::make_unique<core::FrameRecord>()), m_background(std::make_unique<core::FrameRecord>()),
      m_ets(std::make_unique<acquisition::EtsReconstruction>()),
      m_spectrum(std::make_unique<display::SpectrumProcessor>()),
      m_recorder(std::make_unique<files::BinaryRecorder>()),
      m_scope(std::make_unique<ScopeController>(*this)),
      m_generator(std::make_unique<GeneratorController>(*this)),
      m_files(std::make_unique<FilesController>(*this)),
      m_viewController(std::make_unique<ViewController>(*this)),
      m_decoders(std::make_unique<DecoderController>(*this)),
      m_analyzers(std::make_unique<AnalyzerController>(*this)),
      m_calibration(std::make_unique<CalibrationController>(*this, *m_frame)) {
    // The instance is busy until the start-up has finished.
    m_busy.setBusy(true);
    m_exeIsTrm = startsWithTrm(m_options.exePath);
    m_settingsPath = m_options.settingsPath.empty() ? files::programSettingsPath() : m_options.settingsPath;
    const std::filesystem::path exe(m_options.exePath);
    m_state.system.LastDir = exe.parent_path().string();
    m_fpga =
        device::FpgaImage::load(exe.parent_path().empty() ? std::string() : exe.parent_path().string() + "/");

    // Defaults, the model by the executable's name, then the program settings file.
    m_state.system.UiDeviceType = m_exeIsTrm ? core::kTRM207Mini : core::kKX4821;
    const files::ReadResult read =
        files::ReadSettingsFile(m_settingsPath, files::SettingsKind::Program, m_state, m_prompt);
    m_settingsMarker = read.markerFound;
    // A first start asks for the language on the first paint; until then the window speaks the
    // language the question itself is asked in.
    if (!m_settingsMarker) m_state.system.RussianUi = false;
    if (!m_state.system.DebugAllowed) {
        m_state.system.DebugMode = false;
        m_state.display.USB_Stat = false;
        m_state.display.ETS_Stat = false;
    }
    m_frame->clear();
    m_background->clear();
    m_spectrum->setEtsSpectrum(m_ets->spectrumStorage());
    applyModelFeatureSet();
    settingsFileRead();
}

void ScopeSession::settingsFileRead() {
    m_awgReloadWanted = generator::awgReloadWanted(m_state.generator);
    if (m_awgReloadWanted && m_supervisor) {
        m_supervisor->awg().pending = AwgCompilation::QuietReload;
        m_awgReloadWanted = false;
    }
}

ScopeSession::~ScopeSession() {
    shutDown();
}

void ScopeSession::startUp() {
    if (m_started) return;
    m_started = true;
    applyModelFeatureSet();
    m_view.applyLayout();
    m_flags.RedrawRequest.store(true);

    acquisition::ScopeThreadParts parts{m_binding, m_connection, m_event,        m_flags,
                                        m_stats,   m_board,      m_registers,    *m_frame,
                                        m_bridge,  *this,        m_fpga.bytes(), m_ets.get()};
    m_analyzers->engine().installHooks(parts.hooks);
    m_calibration->systemEngine().installHooks(parts.hooks);
    m_thread = std::make_unique<acquisition::ScopeThread>(parts);
    m_spectrum->setFrameArrivedFlag(&m_thread->newFrame().FftFrameArrived);
    m_thread->start();
    m_supervisionHost = std::make_unique<SupervisionAdapter>(*this);
    m_supervisor = std::make_unique<Supervisor>(
        SupervisionParts{m_binding, m_connection, m_flags, m_stats, m_board, m_registers, m_thread->link()},
        *m_supervisionHost);
    if (m_awgReloadWanted) settingsFileRead();

    if (!m_settingsMarker) m_state.system.RussianUi = m_view.askLanguage();
    apply(Effect::Captions | Effect::SettingsChanged);

    const int status = openInstrument();
    m_connection.DeviceStatus.store(status);
    if (status == 0) {
        m_flags.ReconfigureRequest.store(true);
        settingsChanged();
    }

    m_analyzers->loadCalibrationFiles();
    if (!m_options.args.empty() && !m_options.args.back().empty())
        m_files->dispatch(m_options.args.back(), FileOrigin::CommandLine);
    m_busy.setBusy(false);
}

int ScopeSession::openInstrument() {
    device::OpenOptions open;
    open.debugMode = m_state.system.DebugMode;
    open.flowControlOff = m_state.system.FlowCtrlOff;
    open.caption = baseName(m_options.exePath);
    open.libraries = m_options.driverLibraries;
    const int status = device::openDevice(m_binding, m_connection, m_event, m_prompt, open);
    // An opened instrument is configured next; the activity indicator shows the progress.
    if (status == 0) m_reconfiguring = true;
    return status;
}

void ScopeSession::supervisionTick() {
    if (m_supervisor) m_supervisor->tick();
}

void ScopeSession::requestRedraw() {
    m_flags.RedrawRequest.store(true);
}

void ScopeSession::armWarnings() {
    if (m_supervisor) m_supervisor->armWarnings();
}

void ScopeSession::suspendAcquisition() {
    if (!m_thread || !m_thread->running()) return;
    // A synchronised update the thread is waiting in must be served for its loop to end.
    m_thread->requestStop();
    m_view.serveUntil([this] { return m_thread->loopEnded(); });
    m_thread->stop();
}

void ScopeSession::resumeAcquisition() {
    if (m_thread && !m_closing) m_thread->start();
}

int ScopeSession::connectionStatus() {
    if (m_connection.DeviceStatus.load() == 0) {
        device::DWORD rx = 0;
        m_connection.DeviceStatus.store(
            static_cast<int>(m_binding.queueStatus(m_connection.handle.load(), rx)));
    }
    return m_connection.DeviceStatus.load();
}

bool ScopeSession::awgLoaded() const {
    return m_thread && m_thread->link().awgLoaded.load();
}

// --- effects ------------------------------------------------------------------------------

void ScopeSession::settingsChanged() {
    m_flags.Running.store(m_state.scope.Running);
    m_flags.SingleMode.store(m_state.scope.SingleMode);
    if (applyAndPublish()) m_thread->notifySettingsChanged();
    m_view.syncControls();
}

void ScopeSession::refresh() {
    if (applyAndPublish()) m_thread->notifyRefresh();
    m_view.syncControls();
}

void ScopeSession::apply(Effect effects) {
    if (has(effects, Effect::ModelFeatures)) applyModelFeatureSet();
    if (has(effects, Effect::Layout)) m_view.applyLayout();
    if (has(effects, Effect::Captions)) m_view.applyCaptions();
    if (has(effects, Effect::SettingsChanged))
        settingsChanged();
    else if (has(effects, Effect::Refresh))
        refresh();
    else
        m_view.syncControls();
}

bool ScopeSession::applyAndPublish() {
    m_derived = applySettings(m_state, m_registers, nullptr, &m_triggerMemo);
    m_analyzers->publishUse();
    m_view.restartFade();
    if (!m_thread) return false;
    acquisition::AssemblyContext context = assemblyContext(m_state, m_derived, m_registers.snapshot());
    context.recordingOn = m_recorder->recording();
    m_thread->publishAssembly(context,
                              m_calibration->publishOver(m_registers, static_cast<std::uint32_t>(m_derived.Points)));
    return true;
}

void ScopeSession::applyModelFeatureSet() {
    // A code outside the model table falls back to the executable's default model.
    if (core::modelName(m_state.system.UiDeviceType).rfind("Unknown", 0) == 0)
        m_state.system.UiDeviceType = m_exeIsTrm ? core::kTRM207Mini : core::kKX4821;
    m_features = applyModelFeatures(m_state);
}

bool ScopeSession::probeConnection(const std::function<void()>& aroundError) {
    if (connectionStatus() == 0) return true;
    const int status = openInstrument();
    m_connection.DeviceStatus.store(status);
    if (status != 0) {
        if (aroundError) aroundError();
        device::reportUsbError(m_prompt, status, m_state.system.RussianUi);
        if (aroundError) aroundError();
        return false;
    }
    m_flags.ReconfigureRequest.store(true);
    return true;
}

void ScopeSession::writeProgramSettings() {
    files::WriteContext context;
    context.device = deviceRecordFrom(m_board.snapshot(), m_flags.DeviceReady.load());
    context.awgLoaded = awgLoaded();
    files::WriteSettingsFile(m_settingsPath, files::SettingsKind::Program, m_state, context, m_prompt);
}

core::FrameHeader ScopeSession::frameHeader() const {
    // Outside the synchronised update the thread may be assembling: read under its lock.
    std::lock_guard lock(m_frame->mutex);
    return m_frame->header;
}

files::DataFileRecords ScopeSession::dataFileRecords() {
    return {*m_frame,
            *m_background,
            m_state.display.BgLaneSwap,
            m_spectrum->accumulatorStorage(0),
            m_spectrum->accumulatorStorage(1),
            m_ets->spectrumStorage()};
}

// --- per frame ------------------------------------------------------------------------------

display::LinkView ScopeSession::linkView() {
    display::LinkView v;
    const device::StatusInfo status = m_board.snapshot();
    v.deviceReady = m_flags.DeviceReady.load();
    v.reconfiguring = m_reconfiguring && !v.deviceReady;
    v.configProgress = m_configProgress;
    v.statusPackets = status.packets;
    v.framesAssembled = m_frame->header[core::fh::FrameCounter];
    if (v.framesAssembled != m_lastFrameCounter) {
        m_lastFrameCounter = v.framesAssembled;
        m_statusAtLastFrame = status.packets;
    }
    v.statusSinceFrame = status.packets - m_statusAtLastFrame;
    v.sources.supplyMillivolts = status.supplyMillivolts;
    if (m_supervisor) v.sources.shown = m_supervisor->shown();
    v.sources.reconfigurations = m_stats.framesSent.load();
    v.sources.reconfigurationErrors = m_stats.framesNotAcknowledged.load();
    if (m_thread) v.sources.screenUpdates = m_thread->screenUpdates();
    v.sources.wineMode = device::D2xxBinding::wineMode();
    v.sources.decimalSeparator = m_options.decimalSeparator;
    v.sources.thousandsSeparator = m_options.thousandsSeparator;
    return v;
}

void ScopeSession::signalAreaUpdate() {
    m_calibration->frameArrived();
    const core::FrameHeader& h = m_frame->header;
    // 1. The model question, once per RUN or SINGLE. The acquisition thread waits in this update:
    // the question is asked after it has returned.
    const auto frameType = static_cast<std::int32_t>(h[core::fh::FrameDeviceType]);
    if (!m_modelQuestionPosted &&
        modelQuestionDue(m_state.system.ModelCheckPending, h[core::fh::CaptureLength], frameType,
                         m_state.system.UiDeviceType)) {
        m_modelQuestionPosted = true;
        m_bridge.post([this, frameType] {
            if (!m_state.system.ModelCheckPending) {
                m_modelQuestionPosted = false;
                return;
            }
            BusyMark busy(m_busy);
            const bool ru = m_state.system.RussianUi;
            // Frames keep arriving while the box is open (its event loop runs them): the mark
            // stays set until the answer, so they do not ask again.
            const core::Answer answer = m_prompt.message(
                modelQuestionCaption(ru), modelQuestionText(frameType, ru), core::MessageStyle::YesNo);
            m_modelQuestionPosted = false;
            if (answer == core::Answer::Yes) {
                m_state.system.UiDeviceType = frameType;
                apply(kModelEffects);
            } else {
                m_state.system.ModelCheckPending = false;
            }
        });
    }
    // A live frame replaces a frame read from a data file, and with it the file's name.
    if (m_thread && m_thread->newFrame().DisplayedFrame.load() && !m_frame->loadedFromFile)
        m_names.dataFileNameKnown = false;
    // 2. The caption.
    CaptionInputs c;
    c.uiDeviceType = m_state.system.UiDeviceType;
    c.deviceReady = m_flags.DeviceReady.load();
    c.reportedDeviceType = c.deviceReady ? m_board.snapshot().deviceType : 0;
    c.frameFromFile = m_frame->loadedFromFile;
    c.dataFileName = m_names.dataFileName;
    c.captureLength = h[core::fh::CaptureLength];
    c.frameCounter = h[core::fh::FrameCounter];
    c.backgroundExists = m_background->header[core::fh::CaptureLength] != 0;
    c.backgroundFromFile = m_background->loadedFromFile;
    c.backgroundFileName = m_names.bgFileName;
    c.backgroundCounter = m_background->header[core::fh::FrameCounter];
    m_view.setCaption(windowCaption(c));
    // 3.. The picture.
    if (m_flags.FadeRestartRequest.exchange(false)) m_view.restartFade();
    m_decoders->frameStep();
    m_view.drawSignalArea();
}

void ScopeSession::readoutUpdate() {
    // Tables the instrument sent replace the program's own; the registers follow them.
    if (takeInstrumentTables(m_board.snapshot(), m_state.calibration, m_tablesTaken)) settingsChanged();
    m_view.drawReadouts();
}

void ScopeSession::generatorPanelUpdate() {
    m_view.updateGeneratorPanel();
}

void ScopeSession::configured() {
    m_reconfiguring = false;
    m_configProgress = 100;
    settingsChanged();
}

void ScopeSession::configurationProgress(int percent) {
    m_configProgress = percent;
    m_reconfiguring = percent < 100;
}

void ScopeSession::singleShotEnded() {
    m_state.scope.Running = false;
    m_state.scope.SingleMode = false;
    settingsChanged();
}

// --- shutdown -----------------------------------------------------------------------------

void ScopeSession::shutDown() {
    if (m_closing) return;
    m_closing = true;
    suspendAcquisition();
    if (m_connection.DeviceStatus.load() == 0) device::resetInstrument(m_binding, m_connection);
    if (m_connection.handle.load() != nullptr) {
        m_binding.close(m_connection.handle.load());
        m_connection.handle.store(nullptr);
    }
    if (m_started) writeProgramSettings();
}

} // namespace kx::app
