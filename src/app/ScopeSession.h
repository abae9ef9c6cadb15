// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/EtsReconstruction.h"
#include "acquisition/ScopeThread.h"
#include "app/BusyFlag.h"
#include "app/DerivedQuantities.h"
#include "app/InstrumentTables.h"
#include "app/ModelFeatures.h"
#include "app/SessionView.h"
#include "core/FrameRecord.h"
#include "core/InstrumentState.h"
#include "core/Prompt.h"
#include "device/Connection.h"
#include "device/D2xxBinding.h"
#include "device/DataEvent.h"
#include "device/FpgaImage.h"
#include "device/LinkStatistics.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"
#include "device/StatusInfo.h"
#include "display/ReadoutSources.h"
#include "display/SpectrumProcessor.h"
#include "files/DataFile.h"
#include "files/RecorderFile.h"
#include "trigger/TriggerChange.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx::app {

class DecoderController;
class AnalyzerController;
class CalibrationController;
class FilesController;
class GeneratorController;
class ScopeController;
class Supervisor;
class ViewController;

// How the session is started; tests replace the file locations and the driver.
struct SessionOptions {
    std::string exePath;                      // the executable, as /proc/self/exe names it
    std::string settingsPath;                 // program settings file; empty: the usual location
    std::vector<std::string> args;            // command-line parameters (without the program name)
    std::vector<std::string> driverLibraries; // empty: $KX48ZZ_D2XX, then libftd2xx.so
    char decimalSeparator = '.';              // the locale's, for the readouts
    char thousandsSeparator = ',';
};

// The program without its widgets: owns the instrument state, the derived quantities, the
// register image, the request flags, the connection, the acquisition thread, the main and
// background frame records, the link statistics and the supervision. Every control handler is a
// method of one of its controllers; a handler edits the state and names the effects that follow,
// which apply() carries out in one place. GUI thread only, except what the acquisition thread
// reaches through its parts.
class ScopeSession : private acquisition::GuiUpdates {
public:
    ScopeSession(SessionOptions options, SessionView& view, acquisition::GuiBridge& bridge,
                 core::Prompt& prompt, BusyFlag& busy);
    ~ScopeSession() override;
    ScopeSession(const ScopeSession&) = delete;
    ScopeSession& operator=(const ScopeSession&) = delete;

    // Once, when the window is first on screen: the acquisition thread, the language question
    // on a first start, apply-settings, the instrument, a file named on the command line.
    void startUp();
    // Closing: the thread stops, the instrument goes idle and is released, the program settings
    // are written. Safe to call twice.
    void shutDown();

    // The two notifications, and the effects of a handler in their documented order.
    void settingsChanged();
    void refresh();
    void apply(Effect effects);

    // A menu item by name: a command of the session's table or a state item of the menu model.
    void menuItem(std::string_view name);
    // The items the session's command table handles itself (for the check against the tree).
    static std::span<const std::string_view> commandItems();
    // A dialog the window builds, with the instance marked busy.
    void showDialog(Dialog which);

    // Timer1 and Timer2.
    void supervisionTick();
    void requestRedraw();

    ScopeController& scope() { return *m_scope; }
    GeneratorController& generator() { return *m_generator; }
    FilesController& files() { return *m_files; }
    ViewController& view() { return *m_viewController; }
    DecoderController& decoders() { return *m_decoders; }
    AnalyzerController& analyzers() { return *m_analyzers; }
    device::RegisterImageHolder& registers() { return m_registers; }
    device::RequestFlags& requestFlags() { return m_flags; }
    CalibrationController& calibration() { return *m_calibration; }

    core::InstrumentState& state() { return m_state; }
    const core::InstrumentState& state() const { return m_state; }
    const DerivedQuantities& derived() const { return m_derived; }
    const ModelFeatureView& features() const { return m_features; }
    const device::RequestFlags& flags() const { return m_flags; }
    const device::LinkStatistics& statistics() const { return m_stats; }
    device::StatusInfo status() const { return m_board.snapshot(); }
    // Read inside the synchronised update, or through the locked helpers below.
    core::FrameRecord& frame() { return *m_frame; }
    const core::FrameRecord& frame() const { return *m_frame; }
    core::FrameRecord& background() { return *m_background; }
    files::DataFileNames& names() { return m_names; }
    acquisition::ScopeThread* scopeThread() const { return m_thread.get(); }
    Supervisor* supervisor() const { return m_supervisor.get(); }
    core::Prompt& prompt() { return m_prompt; }
    SessionView& window() { return m_view; }
    // A once flag for the next settings frame.
    void raiseOnce(device::OnceFlag flag) { m_registers.raise(flag); }
    const SessionOptions& options() const { return m_options; }
    bool started() const { return m_started; }
    bool exeIsTrm() const { return m_exeIsTrm; }
    bool awgLoaded() const;
    // DeviceStatus after asking the driver again (0: the connection works).
    int connectionStatus();
    files::BinaryRecorder& recorder() { return *m_recorder; }
    // The spectra of the FFT view (drawn by the window's picture).
    display::SpectrumProcessor& spectrum() { return *m_spectrum; }
    // The frame's header, copied under the record's lock.
    core::FrameHeader frameHeader() const;
    // The spectra the data files keep beside the frame.
    files::DataFileRecords dataFileRecords();

    // The busy flag around modal dialogs and file operations (nesting allowed).
    bool busy() const { return m_busy.busy(); }
    BusyFlag& busyFlag() { return m_busy; }

    // What the drawing needs of the link and the device, once per update.
    display::LinkView linkView();

    // RUN, SINGLE, ON: false when the instrument cannot be reached (the error was reported).
    bool probeConnection(const std::function<void()>& aroundError = {});
    void armWarnings();
    void writeProgramSettings();
    // The model chosen in state.system.UiDeviceType (unknown codes fall back to the
    // executable's default model) applied to the state.
    void applyModelFeatureSet();
    // After any settings file was read: a script loaded with the AWG function on is compiled
    // again, quietly, once the instrument is there.
    void settingsFileRead();

private:
    class SupervisionAdapter;
    friend class SupervisionAdapter;
    friend class CalibrationController; // a calibration run drives the registers and the table flags

    int openInstrument();
    void suspendAcquisition();
    void resumeAcquisition();
    bool applyAndPublish();
    void askModelQuestion();

    // acquisition::GuiUpdates, in the GUI thread.
    void signalAreaUpdate() override;
    void readoutUpdate() override;
    void generatorPanelUpdate() override;
    bool recordingOn() override { return m_recorder->recording(); }
    void appendRecorder(std::span<const std::int16_t> samples, std::uint64_t lost) override {
        m_recorder->append(samples, lost);
    }
    void configured() override;
    void configurationProgress(int percent) override;
    void singleShotEnded() override;

    SessionOptions m_options;
    SessionView& m_view;
    acquisition::GuiBridge& m_bridge;
    core::Prompt& m_prompt;
    BusyFlag& m_busy;
    std::string m_settingsPath;
    bool m_settingsMarker = false; // the program settings file had its marker
    bool m_exeIsTrm = false;

    core::InstrumentState m_state;
    DerivedQuantities m_derived;
    ModelFeatureView m_features;
    trigger::TriggerMemo m_triggerMemo;
    TablesTaken m_tablesTaken;

    device::D2xxBinding m_binding;
    device::Connection m_connection;
    device::DataEvent m_event;
    device::RequestFlags m_flags;
    device::LinkStatistics m_stats;
    device::StatusBoard m_board;
    device::RegisterImageHolder m_registers;
    device::FpgaImage m_fpga;
    std::unique_ptr<core::FrameRecord> m_frame;
    std::unique_ptr<core::FrameRecord> m_background;
    std::unique_ptr<acquisition::EtsReconstruction> m_ets;
    std::unique_ptr<display::SpectrumProcessor> m_spectrum;
    std::unique_ptr<files::BinaryRecorder> m_recorder;
    files::DataFileNames m_names;

    std::unique_ptr<acquisition::ScopeThread> m_thread;
    std::unique_ptr<SupervisionAdapter> m_supervisionHost;
    std::unique_ptr<Supervisor> m_supervisor;
    std::unique_ptr<ScopeController> m_scope;
    std::unique_ptr<GeneratorController> m_generator;
    std::unique_ptr<FilesController> m_files;
    std::unique_ptr<ViewController> m_viewController;
    std::unique_ptr<DecoderController> m_decoders;
    std::unique_ptr<AnalyzerController> m_analyzers;
    std::unique_ptr<CalibrationController> m_calibration;

    int m_configProgress = 0;
    bool m_reconfiguring = false;
    bool m_modelQuestionPosted = false;
    bool m_awgReloadWanted = false;
    std::uint32_t m_lastFrameCounter = 0;
    std::uint32_t m_statusAtLastFrame = 0;
    bool m_started = false;
    bool m_closing = false;
};

} // namespace kx::app
