// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/ScopeThread.h"
#include "app/DerivedQuantities.h"
#include "app/BusyFlag.h"
#include "app/ModelFeatures.h"
#include "app/window/QtGuiBridge.h"
#include "core/FrameRecord.h"
#include "core/InstrumentState.h"
#include "device/Connection.h"
#include "device/D2xxBinding.h"
#include "device/DataEvent.h"
#include "device/FpgaImage.h"
#include "device/LinkStatistics.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"
#include "device/StatusInfo.h"
#include "display/FrameView.h"
#include "display/Gestures.h"
#include "files/DataFile.h"

#include <QMainWindow>
#include <QPoint>
#include <QSize>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kx::ui {
class MainMenu;
}

namespace kx::app {

class GeneratorBar;
class QtPrompt;
class Supervisor;
class WindowSupervisionHost;
class ScopePanel;
class SignalPanel;

// How the window is started; tests replace the dialogs and the file locations.
struct WindowOptions {
    std::string exePath;         // the executable, as /proc/self/exe names it
    std::string settingsPath;    // program settings file; empty: the usual location
    std::vector<std::string> args; // command-line parameters (without the program name)
    core::Prompt* prompt = nullptr; // message boxes and file dialogs; null: Qt's
    // The first-start language question; returns true for Russian. Empty: TForm_Sel_Lng.
    std::function<bool()> chooseLanguage;
    // The busy flag that every instance started under this executable name sees (the single
    // instance's); null: the window keeps one of its own.
    BusyFlag* busyFlag = nullptr;
    std::vector<std::string> driverLibraries; // empty: $KX48ZZ_D2XX, then libftd2xx.so
};

// TMFrm, the main window: owns the instrument state, the link, the acquisition thread and the
// picture, and runs every control's handler in the GUI thread.
class TMFrm : public QMainWindow, private acquisition::GuiUpdates {
public:
    explicit TMFrm(WindowOptions options);
    ~TMFrm() override;

    // The two notifications every control ends with.
    void settingsChanged();
    void refresh();

    // A file from the command line, a second instance or a drop.
    enum class FileOrigin { CommandLine, HandOver, Drop };
    void dispatchFile(const std::string& path, FileOrigin origin);
    // A second start handed over `file` with `paramCount` parameters.
    void handOver(const std::string& file, int paramCount);

    // The busy flag around modal dialogs and file operations (nesting allowed).
    void markBusy(bool on) { on ? m_busy.mark() : m_busy.unmark(); }
    [[nodiscard]] bool busy() const { return m_busy.busy(); }

    core::InstrumentState& state() { return m_state; }
    const DerivedQuantities& derived() const { return m_derived; }
    const device::RequestFlags& flags() const { return m_flags; }
    const device::LinkStatistics& statistics() const { return m_stats; }
    const core::FrameRecord& frame() const { return *m_frame; }
    const display::FrameView& view() const { return m_view; }
    acquisition::ScopeThread* scopeThread() const { return m_thread.get(); }
    bool started() const { return m_started; }
    ui::MainMenu& mainMenu() const { return *m_menu; }
    Supervisor* supervisor() const { return m_supervisor.get(); }
    // One Timer1 tick, as the timer runs it.
    void supervisionTick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class WindowSupervisionHost;
    // Start-up, once on the first paint.
    void startUp();
    // Control handlers.
    void onTimeBase(int index);
    void onVoltsDiv(int ch, int index);
    void onProbeTitle(int ch);
    void onRun(bool down);
    void onSingle(bool down);
    void onGeneratorOn(bool down);
    void onAwgRun();
    void onMenuItem(std::string_view name);
    void onScroll(int position);
    // The background oscillogram's View menu items.
    void updateBackgroundItems();
    void onBackgroundSwap();
    void onBackgroundClear();
    // Pointer, wheel and keys on the signal area.
    enum class PointerPhase { Press, Move, Release, DoubleClick };
    void onPointer(QMouseEvent* event, PointerPhase phase);
    void onWheel(QWheelEvent* event);
    void applyGesture(const display::GestureResult& r);
    // RUN, SINGLE, ON: false when the instrument cannot be reached; `aroundError` runs before and
    // after the error report.
    bool probeConnection(const std::function<void()>& aroundError = {});
    // Model and window layout.
    void modelChanged(bool keepModelCheck);
    void applyModelFeatureSet();
    void applyLayout();
    void applyCaptions();
    void syncControls();
    // Files.
    void openDataFile(const std::string& path);
    void saveDataFile();
    void openSettingsFile(const std::string& path);
    void saveSettingsFile();
    void openHelp();
    void openDialog(std::string_view name); // the Options and Help dialogs
    // The acquisition thread keeps away from the driver between these two.
    void suspendAcquisition();
    void resumeAcquisition();
    // Opens the instrument with the program's options; returns the status for DeviceStatus.
    int openInstrument();
    // apply-settings and the assembly inputs for the thread; false before the thread exists.
    bool applyAndPublish();
    core::FrameHeader frameHeader() const;
    void writeProgramSettings();
    // acquisition::GuiUpdates, in the GUI thread.
    void signalAreaUpdate() override;
    void readoutUpdate() override;
    void configured() override;
    void configurationProgress(int percent) override;
    void singleShotEnded() override;
    display::LinkView linkView();
    files::OpenDataFileOptions openOptions();
    void shutDown();

    WindowOptions m_options;
    std::unique_ptr<QtPrompt> m_qtPrompt;
    core::Prompt* m_prompt = nullptr;
    std::string m_settingsPath;
    bool m_settingsMarker = false; // the program settings file had its marker
    bool m_exeIsTrm = false;

    core::InstrumentState m_state;
    DerivedQuantities m_derived;
    ModelFeatureView m_features;

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
    std::vector<double> m_spectrumA1, m_spectrumA2, m_etsSpectrum;
    files::DataFileNames m_names;

    QtGuiBridge m_bridge;
    std::unique_ptr<acquisition::ScopeThread> m_thread;
    display::FrameView m_view;
    int m_configProgress = 0;
    bool m_reconfiguring = false;
    std::uint32_t m_lastFrameCounter = 0;
    std::uint32_t m_statusAtLastFrame = 0;
    char m_decimalSeparator = '.';
    char m_thousandsSeparator = ',';

    std::unique_ptr<WindowSupervisionHost> m_supervisionHost;
    std::unique_ptr<Supervisor> m_supervisor;
    std::unique_ptr<ui::MainMenu> m_menu;
    ScopePanel* m_scopePanel = nullptr;
    GeneratorBar* m_genBar = nullptr;
    SignalPanel* m_signal = nullptr;
    QTimer m_timer1;
    QTimer m_timer2;

    bool m_started = false;
    bool m_closing = false;
    BusyFlag m_ownBusy;
    BusyFlag& m_busy;
    display::DragState m_drag;
    // Layout memory: the first-paint position, the design size, and the compact window.
    QPoint m_firstPos;
    QSize m_designSize;
    bool m_layoutCompact = false;
    bool m_compactSeen = false;
    QRect m_compactGeometry;
    bool m_compactMaximized = false;
};

} // namespace kx::app
