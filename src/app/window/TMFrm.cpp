// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/TMFrm.h"

#include "app/ApplySettings.h"
#include "app/AssemblySettings.h"
#include "app/DeviceRecordFromStatus.h"
#include "app/FileDispatch.h"
#include "core/ScopeControls.h"
#include "app/Supervision.h"
#include "app/WindowCaption.h"
#include "app/window/GeneratorBar.h"
#include "app/window/QtPrompt.h"
#include "app/window/ScopePanel.h"
#include "app/window/SignalPanel.h"
#include "core/DeviceModel.h"
#include "device/DeviceLink.h"
#include "device/DeviceOpen.h"
#include "device/ErrorReport.h"
#include "display/BackgroundOps.h"
#include "files/SettingsDialogs.h"
#include "files/SettingsFile.h"
#include "trigger/forms/TForm_TrigSet.h"
#include "ui/AboutBox.h"
#include "ui/AdvancedSettingsDialog.h"
#include "ui/ColorDialog.h"
#include "ui/Help.h"
#include "ui/LanguageDialog.h"
#include "ui/MainMenu.h"
#include "ui/MenuModel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kx::app {

namespace {

constexpr int kTimer1Ms = 1000;
constexpr int kTimer2Ms = 50;
constexpr QSize kCompactMinimum{450, 300};
constexpr std::size_t kSpectrumBins = 1 << 14;

bool startsWithTrm(const std::string& exePath) {
    std::string base = std::filesystem::path(exePath).filename().string();
    if (base.size() < 3) return false;
    for (int i = 0; i < 3; ++i) base[static_cast<std::size_t>(i)] =
        static_cast<char>(std::toupper(static_cast<unsigned char>(base[static_cast<std::size_t>(i)])));
    return base.compare(0, 3, "TRM") == 0;
}

} // namespace

// What the connection supervision asks of the window.
class WindowSupervisionHost : public SupervisionHost {
public:
    explicit WindowSupervisionHost(TMFrm& w) : m_w(w) {}
    bool busy() override { return m_w.busy(); }
    void markBusy(bool on) override { m_w.markBusy(on); }
    core::Prompt& prompt() override { return *m_w.m_prompt; }
    bool russian() override { return m_w.m_state.system.RussianUi; }
    void saveProgramSettings() override { m_w.writeProgramSettings(); }
    void suspendAcquisition() override { m_w.suspendAcquisition(); }
    void resumeAcquisition() override { m_w.resumeAcquisition(); }
    int reopenDevice() override { return m_w.openInstrument(); }
    void releaseRunButtons() override {
        m_w.m_state.scope.Running = false;
        m_w.m_state.scope.SingleMode = false;
        m_w.m_state.generator.On = false;
        m_w.syncControls();
    }
    void settingsChanged() override { m_w.settingsChanged(); }
    void loadBuiltInCalibration() override { m_w.m_state.calibration = core::CalibrationState{}; }
    std::uint32_t displayedFrames() override { return m_w.m_thread ? m_w.m_thread->displayedFrames() : 0; }

private:
    TMFrm& m_w;
};

TMFrm::TMFrm(WindowOptions options)
    : m_options(std::move(options)), m_frame(std::make_unique<core::FrameRecord>()),
      m_background(std::make_unique<core::FrameRecord>()), m_spectrumA1(kSpectrumBins),
      m_spectrumA2(kSpectrumBins), m_etsSpectrum(kSpectrumBins), m_bridge(this),
      m_busy(m_options.busyFlag != nullptr ? *m_options.busyFlag : m_ownBusy) {
    setObjectName(QStringLiteral("TMFrm"));
    // The instance is busy until the start-up has finished.
    m_busy.setBusy(true);
    if (m_options.prompt == nullptr) {
        m_qtPrompt = std::make_unique<QtPrompt>(this);
        m_qtPrompt->setBusyHook([this](bool on) { markBusy(on); });
        m_qtPrompt->setRussianSource([this] { return m_state.system.RussianUi; });
        m_prompt = m_qtPrompt.get();
    } else {
        m_prompt = m_options.prompt;
    }
    if (m_options.exePath.empty()) m_options.exePath = QApplication::applicationFilePath().toStdString();
    m_exeIsTrm = startsWithTrm(m_options.exePath);
    m_settingsPath = m_options.settingsPath.empty() ? files::programSettingsPath() : m_options.settingsPath;
    const std::filesystem::path exe(m_options.exePath);
    QApplication::setApplicationName(QString::fromStdString(exe.stem().string()));
    m_state.system.LastDir = exe.parent_path().string();
    m_fpga = device::FpgaImage::load(exe.parent_path().empty() ? std::string() : exe.parent_path().string() + "/");

    // Widgets: the signal panel on the left, the scope controls on the right, the generator
    // bar along the bottom.
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    m_signal = new SignalPanel(central);
    ScopePanelActions a;
    a.timeBase = [this](int i) { onTimeBase(i); };
    a.voltsDiv = [this](int ch, int i) { onVoltsDiv(ch, i); };
    a.probeTitle = [this](int ch) { onProbeTitle(ch); };
    a.coupling = [this](int ch, bool on) {
        (ch == 0 ? m_state.scope.A1 : m_state.scope.A2).AC = on;
        settingsChanged();
    };
    a.bandwidth = [this](int ch, bool on) {
        (ch == 0 ? m_state.scope.A1 : m_state.scope.A2).BW = on;
        settingsChanged();
    };
    a.strobo = [this] {
        core::clickStrobo(m_state);
        settingsChanged();
    };
    a.run = [this](bool down) { onRun(down); };
    a.single = [this](bool down) { onSingle(down); };
    a.triggerDialog = [this] { openDialog("Menu_Trigger"); };
    a.triggerOn = [this](bool on) {
        m_state.trigger.On = on;
        settingsChanged();
    };
    a.triggerSource = [this](int i) {
        // "-" stands for the missing A2 channel and snaps back to A1.
        m_state.trigger.Src = (i == 1 && !m_features.a2Channel) ? 0 : i;
        m_registers.raise(device::OnceFlag::TriggerChanged);
        settingsChanged();
    };
    a.triggerEdge = [this](bool on) {
        m_state.trigger.Edge = on;
        m_registers.raise(device::OnceFlag::TriggerChanged);
        settingsChanged();
    };
    a.triggerAuto = [this](bool on) {
        m_state.trigger.Auto = on;
        settingsChanged();
    };
    a.triggerPlus = [this](bool on) {
        m_state.trigger.TPLUS = on;
        m_registers.raise(device::OnceFlag::TriggerChanged);
        settingsChanged();
    };
    m_scopePanel = new ScopePanel(central, std::move(a));
    m_scopePanel->setFixedWidth(m_scopePanel->sizeHint().width() + 8);
    top->addWidget(m_signal, 1);
    top->addWidget(m_scopePanel);
    outer->addLayout(top, 1);
    m_genBar = new GeneratorBar(
        central, [this](bool down) { onGeneratorOn(down); }, [this] { onAwgRun(); });
    m_genBar->setFixedHeight(m_genBar->sizeHint().height());
    outer->addWidget(m_genBar);
    setCentralWidget(central);

    m_menu = std::make_unique<ui::MainMenu>(menuBar());
    m_menu->onItemTriggered([this](std::string_view name) { onMenuItem(name); });
    m_menu->setDeviceTypesSource([this] {
        ui::DeviceTypes t;
        t.exeNameStartsWithTrm = m_exeIsTrm;
        t.uiDeviceType = m_state.system.UiDeviceType;
        t.frameDeviceType = static_cast<std::int32_t>(m_frame->header[core::fh::FrameDeviceType]);
        t.reportedDeviceType = m_flags.DeviceReady.load() ? m_board.snapshot().deviceType : 0;
        return t;
    });

    m_menu->onMenuOpening([this](std::string_view name) {
        if (name == "Menu_View") updateBackgroundItems();
    });

    m_signal->screen()->setBitmap(&m_view.screenBitmap());
    m_view.setBackground(m_background.get());
    m_signal->screen()->resized = [this](int w, int h) {
        m_view.setPaintBoxSize(w, h);
        refresh();
    };
    ScreenWidget* screen = m_signal->screen();
    screen->setMouseTracking(true);
    screen->pressed = [this](QMouseEvent* e) { onPointer(e, PointerPhase::Press); };
    screen->moved = [this](QMouseEvent* e) { onPointer(e, PointerPhase::Move); };
    screen->released = [this](QMouseEvent* e) { onPointer(e, PointerPhase::Release); };
    screen->doubleClicked = [this](QMouseEvent* e) { onPointer(e, PointerPhase::DoubleClick); };
    screen->wheeled = [this](QWheelEvent* e) { onWheel(e); };
    m_signal->dropped = [this](const QString& file) {
        if (busy()) return;
        dispatchFile(file.toStdString(), FileOrigin::Drop);
    };
    connect(m_signal->scrollBar(), &QScrollBar::valueChanged, this, [this](int v) { onScroll(v); });

    // The design size: a 566 x 375 paint box beside the control panel, above the generator bar.
    const QSize scroll = m_signal->scrollBar()->sizeHint();
    m_designSize = QSize(display::kDesignWidth + m_scopePanel->width(),
                         std::max(display::kDesignHeight + scroll.height() + m_genBar->height(),
                                  m_scopePanel->sizeHint().height()) +
                             menuBar()->sizeHint().height());
    setMinimumSize(m_designSize);
    resize(m_designSize);

    // Defaults, the model by the executable's name, then the program settings file.
    m_state.system.UiDeviceType = m_exeIsTrm ? 0x35 : 0x21;
    const files::ReadResult read =
        files::ReadSettingsFile(m_settingsPath, files::SettingsKind::Program, m_state, *m_prompt);
    m_settingsMarker = read.markerFound;
    m_registers.raise(device::OnceFlag::TriggerChanged);
    if (!m_state.system.DebugAllowed) {
        m_state.system.DebugMode = false;
        m_state.display.USB_Stat = false;
        m_state.display.ETS_Stat = false;
    }
    m_frame->clear();
    m_background->clear();

    // The locale's separators for the readouts, taken once rather than with every frame.
    const QLocale locale;
    m_decimalSeparator = locale.decimalPoint() == QStringLiteral(",") ? ',' : '.';
    m_thousandsSeparator = locale.groupSeparator() == QStringLiteral(".") ? '.' : ',';

    m_timer1.setInterval(kTimer1Ms);
    m_timer2.setInterval(kTimer2Ms);
    connect(&m_timer1, &QTimer::timeout, this, [this] { supervisionTick(); });
    connect(&m_timer2, &QTimer::timeout, this, [this] {
        if (m_view.fadeDone()) return;
        m_view.requestFadeStep();
        m_flags.RedrawRequest.store(true);
    });
}

TMFrm::~TMFrm() {
    shutDown();
}

void TMFrm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_started) return;
    m_started = true;
    // Once the window is on screen, as the first paint would.
    QTimer::singleShot(0, this, [this] { startUp(); });
}

void TMFrm::startUp() {
    m_firstPos = pos();
    applyModelFeatureSet();
    applyLayout();
    m_view.setPaintBoxSize(m_signal->screen()->width(), m_signal->screen()->height());
    m_flags.RedrawRequest.store(true);

    m_thread = std::make_unique<acquisition::ScopeThread>(acquisition::ScopeThreadParts{
        m_binding, m_connection, m_event, m_flags, m_stats, m_board, m_registers, *m_frame, m_bridge, *this,
        m_fpga.bytes()});
    m_thread->start();
    m_supervisionHost = std::make_unique<WindowSupervisionHost>(*this);
    m_supervisor = std::make_unique<Supervisor>(
        SupervisionParts{m_binding, m_connection, m_flags, m_stats, m_board, m_registers, m_thread->link()},
        *m_supervisionHost);

    if (!m_settingsMarker) {
        const bool russian = m_options.chooseLanguage ? m_options.chooseLanguage() : ui::LanguageDialog::ask(this);
        m_state.system.RussianUi = russian;
    }
    applyCaptions();
    settingsChanged();

    const int status = openInstrument();
    m_connection.DeviceStatus.store(status);
    if (status == 0) {
        m_flags.ReconfigureRequest.store(true);
        settingsChanged();
    }

    if (!m_options.args.empty() && !m_options.args.back().empty())
        dispatchFile(m_options.args.back(), FileOrigin::CommandLine);

    m_timer1.start();
    m_timer2.start();
    m_busy.setBusy(false);
}

int TMFrm::openInstrument() {
    device::OpenOptions open;
    open.debugMode = m_state.system.DebugAllowed;
    open.flowControlOff = m_state.system.FlowCtrlOff;
    open.caption = QApplication::applicationName().toStdString();
    open.libraries = m_options.driverLibraries;
    const int status = device::openDevice(m_binding, m_connection, m_event, *m_prompt, open);
    // An opened instrument is configured next; the activity indicator shows the progress.
    if (status == 0) m_reconfiguring = true;
    return status;
}

void TMFrm::supervisionTick() {
    if (m_supervisor) m_supervisor->tick();
}

void TMFrm::suspendAcquisition() {
    if (!m_thread || !m_thread->running()) return;
    // A synchronised update the thread is waiting in must be served for its loop to end.
    m_thread->requestStop();
    while (!m_thread->loopEnded()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    m_thread->stop();
}

void TMFrm::resumeAcquisition() {
    if (m_thread && !m_closing) m_thread->start();
}

// --- notifications ---------------------------------------------------------------------

void TMFrm::settingsChanged() {
    m_flags.Running.store(m_state.scope.Running);
    m_flags.SingleMode.store(m_state.scope.SingleMode);
    if (applyAndPublish()) m_thread->notifySettingsChanged();
    syncControls();
}

void TMFrm::refresh() {
    if (applyAndPublish()) m_thread->notifyRefresh();
    syncControls();
}

bool TMFrm::applyAndPublish() {
    m_derived = applySettings(m_state, m_registers);
    m_view.requestFadeRestart();
    if (!m_thread) return false;
    m_thread->publishAssembly(assemblyContext(m_state, m_derived, m_registers.snapshot()),
                              static_cast<std::uint32_t>(m_derived.Points));
    return true;
}

void TMFrm::syncControls() {
    m_scopePanel->sync(m_state, m_derived, m_features);
    m_genBar->sync(m_state, m_thread && m_thread->link().awgLoaded.load(), m_state.display.colors.ColorGridFrame);
    m_menu->syncFromState(m_state);
    const bool onTop = (windowFlags() & Qt::WindowStaysOnTopHint) != 0;
    if (onTop != m_state.display.On_Top) {
        setWindowFlag(Qt::WindowStaysOnTopHint, m_state.display.On_Top);
        if (m_started) show();
    }
}

// --- controls ----------------------------------------------------------------------------

void TMFrm::onTimeBase(int index) {
    m_state.scope.timeBase = index;
    settingsChanged();
}

void TMFrm::onVoltsDiv(int ch, int index) {
    core::setVoltsDiv(m_state, ch == 0 ? core::AnalogInput::A1 : core::AnalogInput::A2, index);
    settingsChanged();
}

void TMFrm::onProbeTitle(int ch) {
    if (core::toggleProbe(m_state, ch == 0 ? core::AnalogInput::A1 : core::AnalogInput::A2)) settingsChanged();
}

bool TMFrm::probeConnection(const std::function<void()>& aroundError) {
    if (m_connection.DeviceStatus.load() == 0) {
        device::DWORD rx = 0;
        m_connection.DeviceStatus.store(static_cast<int>(m_binding.queueStatus(m_connection.handle.load(), rx)));
    }
    if (m_connection.DeviceStatus.load() == 0) return true;
    const int status = openInstrument();
    m_connection.DeviceStatus.store(status);
    if (status != 0) {
        if (aroundError) aroundError();
        device::reportUsbError(*m_prompt, status, m_state.system.RussianUi);
        if (aroundError) aroundError();
        return false;
    }
    m_flags.ReconfigureRequest.store(true);
    return true;
}

void TMFrm::onRun(bool down) {
    BusyMark busy(m_busy);
    m_state.scope.SingleMode = false;
    if (down) {
        if (!probeConnection()) {
            m_state.scope.Running = false;
            syncControls();
            return;
        }
        m_state.system.ModelCheckPending = true;
        if (m_supervisor) m_supervisor->armWarnings();
    }
    m_state.scope.Running = down;
    settingsChanged();
}

void TMFrm::onSingle(bool down) {
    BusyMark busy(m_busy);
    if (down) {
        if (!probeConnection()) {
            m_state.scope.Running = false;
            m_state.scope.SingleMode = false;
            syncControls();
            return;
        }
        m_state.system.ModelCheckPending = true;
        if (m_supervisor) m_supervisor->armWarnings();
    }
    m_state.scope.Running = down;
    m_state.scope.SingleMode = down;
    settingsChanged();
}

void TMFrm::onGeneratorOn(bool down) {
    BusyMark busy(m_busy);
    m_state.generator.On = down;
    if (down && !probeConnection([this] { refresh(); })) {
        m_state.generator.On = false;
        refresh();
        return;
    }
    if (down && m_supervisor) m_supervisor->armWarnings();
    settingsChanged();
}

void TMFrm::onAwgRun() {
    if (!m_thread || !m_thread->link().awgLoaded.load()) return;
    m_registers.raise(device::OnceFlag::AwgRun);
    settingsChanged();
}

void TMFrm::onScroll(int position) {
    if (position == m_state.scope.X_Pos) return;
    m_state.scope.X_Pos = position;
    refresh();
}

namespace {

display::Availability featuresThere() {
    display::Availability a;
    a.spectrum = ui::menuEnabled("Menu_FFT_A1");
    a.analyzers = ui::menuEnabled("Menu_NA");
    return a;
}

display::MouseButton buttonOf(Qt::MouseButton b) {
    if (b == Qt::LeftButton) return display::MouseButton::Left;
    if (b == Qt::RightButton) return display::MouseButton::Right;
    return display::MouseButton::Other;
}

display::Key keyOf(int key) {
    switch (key) {
    case Qt::Key_F: return display::Key::F;
    case Qt::Key_N: return display::Key::N;
    case Qt::Key_D: return display::Key::D;
    case Qt::Key_W: return display::Key::W;
    case Qt::Key_V: return display::Key::V;
    case Qt::Key_Up: return display::Key::Up;
    case Qt::Key_Down: return display::Key::Down;
    case Qt::Key_Left: return display::Key::Left;
    case Qt::Key_Right: return display::Key::Right;
    case Qt::Key_Space: return display::Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter: return display::Key::Enter;
    default: return display::Key::Other;
    }
}

} // namespace

core::FrameHeader TMFrm::frameHeader() const {
    // Outside the synchronised update the thread may be assembling: read under its lock.
    std::lock_guard lock(m_frame->mutex);
    return m_frame->header;
}

void TMFrm::applyGesture(const display::GestureResult& r) {
    display::applyChanges(r.changes, m_state);
    switch (r.notify) {
    case display::Notify::None:
        if (r.changes.any()) syncControls();
        break;
    case display::Notify::Refresh:
        refresh();
        break;
    case display::Notify::SettingsChanged:
        settingsChanged();
        break;
    case display::Notify::Layout:
        applyLayout();
        refresh();
        break;
    }
    if (!r.menuItem.empty()) onMenuItem(r.menuItem);
    if (r.toggleRun) m_scopePanel->runButton()->click();
    if (r.toggleSingle) m_scopePanel->singleButton()->click();
}

void TMFrm::onPointer(QMouseEvent* event, PointerPhase phase) {
    display::PointerEvent p;
    const QPoint at = event->position().toPoint();
    p.x = at.x();
    p.y = at.y();
    p.button = buttonOf(event->button());
    p.leftDown = (event->buttons() & Qt::LeftButton) != 0;
    p.rightDown = (event->buttons() & Qt::RightButton) != 0;
    p.backgroundExists = m_background->header[core::fh::CaptureLength] != 0;
    const core::FrameHeader header = frameHeader();
    const display::ScreenGeometry& g = m_view.geometry();
    switch (phase) {
    case PointerPhase::Press:
        applyGesture(display::pressPointer(m_state, g, header, p, m_drag));
        break;
    case PointerPhase::Move:
        applyGesture(display::movePointer(m_state, g, header, p, m_drag));
        break;
    case PointerPhase::Release:
        applyGesture(display::releasePointer(m_state, g, header, p, m_drag));
        break;
    case PointerPhase::DoubleClick:
        applyGesture(display::doubleClick(m_state, g, header, p, m_drag));
        // Qt sends the double click in place of the second press.
        applyGesture(display::pressPointer(m_state, g, header, p, m_drag));
        break;
    }
    const display::DragItem d = m_drag.DragTarget;
    m_view.setLevelDrag(d == display::DragItem::LevelA1   ? display::LevelDrag::A1
                        : d == display::DragItem::LevelA2 ? display::LevelDrag::A2
                                                          : display::LevelDrag::None);
}

void TMFrm::onWheel(QWheelEvent* event) {
    display::WheelEvent w;
    const QPoint at = event->position().toPoint();
    w.x = at.x();
    w.y = at.y();
    w.up = event->angleDelta().y() > 0;
    w.scrollMax = m_signal->scrollBar()->maximum();
    w.available = featuresThere();
    const core::FrameHeader header = frameHeader();
    const display::GestureResult r = display::wheel(m_state, m_view.geometry(), header, w);
    applyGesture(r);
    event->setAccepted(r.handled);
}

void TMFrm::keyPressEvent(QKeyEvent* event) {
    display::KeyEvent k;
    k.key = keyOf(event->key());
    k.ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    k.shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    k.scrollMax = m_signal->scrollBar()->maximum();
    k.available = featuresThere();
    const core::FrameHeader header = frameHeader();
    const display::GestureResult r = display::keyPress(m_state, m_view.geometry(), header, k);
    applyGesture(r);
    if (!r.handled) QMainWindow::keyPressEvent(event);
}

void TMFrm::onMenuItem(std::string_view name) {
    if (name == "Menu_Exit") {
        close();
        return;
    }
    if (name == "Menu_Open") {
        BusyMark busy(m_busy);
        const std::string path = files::chooseOpenDataFile(*m_prompt, m_state.system.RussianUi, m_state.system.LastDir);
        if (!path.empty()) openDataFile(path);
        return;
    }
    if (name == "Menu_Save_As") {
        saveDataFile();
        return;
    }
    if (name == "Menu_Open_Settings") {
        BusyMark busy(m_busy);
        const std::string path =
            files::chooseOpenSettingsFile(*m_prompt, m_state.system.RussianUi, m_state.system.LastDir);
        if (!path.empty()) openSettingsFile(path);
        return;
    }
    if (name == "Menu_Save_Settings_As") {
        saveSettingsFile();
        return;
    }
    if (name == "Menu_Help_Contents") {
        openHelp();
        return;
    }
    if (name == "Menu_Trigger" || name == "Menu_Colors" || name == "Menu_ASet" || name == "Menu_About") {
        openDialog(name);
        return;
    }
    if (name == "Menu_BG_Do") {
        onBackgroundSwap();
        return;
    }
    if (name == "Menu_BG_Clr") {
        onBackgroundClear();
        return;
    }
    switch (ui::onMenuItem(m_state, name)) {
    case ui::MenuEffect::None:
    case ui::MenuEffect::Command:
        syncControls();
        break;
    case ui::MenuEffect::SettingsChanged:
        settingsChanged();
        break;
    case ui::MenuEffect::Refresh:
        refresh();
        break;
    case ui::MenuEffect::ModelChanged:
        modelChanged(false);
        break;
    case ui::MenuEffect::LayoutChanged:
        applyLayout();
        refresh();
        break;
    case ui::MenuEffect::LanguageChanged:
        applyCaptions();
        refresh();
        break;
    case ui::MenuEffect::FeaturesChanged:
        applyModelFeatureSet();
        applyLayout();
        applyCaptions();
        settingsChanged();
        break;
    }
}

// --- background oscillogram --------------------------------------------------------------

void TMFrm::updateBackgroundItems() {
    display::BackgroundMenuItems items;
    {
        std::scoped_lock lock(m_frame->mutex, m_background->mutex);
        items = display::backgroundMenuItems(*m_frame, *m_background);
    }
    if (QAction* a = m_menu->action("Menu_BG_View")) a->setEnabled(items.view);
    if (QAction* a = m_menu->action("Menu_BG_Do")) a->setEnabled(items.swap);
    if (QAction* a = m_menu->action("Menu_BG_Clr")) a->setEnabled(items.clear);
}

void TMFrm::onBackgroundSwap() {
    display::SwapOutcome out;
    {
        std::scoped_lock lock(m_frame->mutex, m_background->mutex);
        out = display::swapWithBackground(m_state, *m_frame, *m_background, m_names,
                                          m_view.backgroundFirstSample());
    }
    if (!out.swapped) {
        syncControls();
        return;
    }
    if (m_view.spectrumShown()) {
        m_view.setScrollPos(out.scrollPos);
    } else {
        m_state.scope.X_Pos = static_cast<std::int32_t>(out.scrollPos);
        QScrollBar* bar = m_signal->scrollBar();
        const QSignalBlocker block(bar);
        bar->setRange(0, static_cast<int>(out.scrollMax));
        bar->setValue(m_state.scope.X_Pos);
    }
    settingsChanged();
}

void TMFrm::onBackgroundClear() {
    {
        std::lock_guard lock(m_background->mutex);
        display::clearBackground(m_state, *m_background, m_names);
    }
    refresh();
}

// --- model and layout ---------------------------------------------------------------------

void TMFrm::applyModelFeatureSet() {
    // A code outside the model table falls back to the executable's default model.
    if (core::modelName(m_state.system.UiDeviceType).rfind("Unknown", 0) == 0)
        m_state.system.UiDeviceType = m_exeIsTrm ? 0x35 : 0x21;
    m_features = applyModelFeatures(m_state);
}

void TMFrm::modelChanged(bool keepModelCheck) {
    applyModelFeatureSet();
    applyLayout();
    applyCaptions();
    settingsChanged();
    if (!keepModelCheck) m_state.system.ModelCheckPending = false;
}

void TMFrm::applyCaptions() {
    m_menu->applyCaptions(m_state.system.RussianUi, core::hasA2Input(m_state.system.UiDeviceType));
    ui::applyControlCaptions(this, m_state.system.RussianUi);
}

void TMFrm::applyLayout() {
    const bool compact = m_state.display.CompactView;
    const int panelWidth = m_scopePanel->width();
    const int genHeight = m_genBar->height();
    if (compact && !m_layoutCompact) {
        setMinimumSize(kCompactMinimum);
        m_scopePanel->hide();
        m_genBar->hide();
        if (!m_compactSeen) {
            showNormal();
            resize(std::max(kCompactMinimum.width(), width() - panelWidth),
                   std::max(kCompactMinimum.height(), height() - (m_genBar->isVisibleTo(this) ? genHeight : 0)));
            m_compactSeen = true;
        } else if (m_compactMaximized) {
            showMaximized();
        } else {
            showNormal();
            setGeometry(m_compactGeometry);
        }
    } else if (!compact && m_layoutCompact) {
        m_compactMaximized = isMaximized();
        m_compactGeometry = geometry();
        showNormal();
        setMinimumSize(m_designSize);
        resize(m_designSize);
        move(m_firstPos);
        m_scopePanel->show();
    }
    m_layoutCompact = compact;
    m_genBar->setVisible(!compact && m_state.display.Generator && core::hasGenerator(m_state.system.UiDeviceType));
}

// --- files -------------------------------------------------------------------------------

void TMFrm::dispatchFile(const std::string& path, FileOrigin origin) {
    BusyMark busy(m_busy);
    switch (dispatchKind(path, origin == FileOrigin::Drop)) {
    case FileKind::AwgScript:
        // The generator's AWG loader takes it once the generator panel exists.
        break;
    case FileKind::Settings:
        openSettingsFile(path);
        break;
    case FileKind::Data:
        openDataFile(path);
        break;
    case FileKind::Unsupported:
        reportUnsupportedFile(*m_prompt, path, m_state.system.RussianUi);
        break;
    }
    const std::string dir = fileDirectory(path);
    if (!dir.empty()) m_state.system.LastDir = dir;
}

void TMFrm::handOver(const std::string& file, int paramCount) {
    raise();
    activateWindow();
    if (isMinimized()) showNormal();
    if (paramCount == 0 || file.empty()) return;
    dispatchFile(file, FileOrigin::HandOver);
}

files::OpenDataFileOptions TMFrm::openOptions() {
    files::OpenDataFileOptions o;
    o.russian = m_state.system.RussianUi;
    o.uiDeviceType = static_cast<std::uint32_t>(m_state.system.UiDeviceType);
    o.backgroundLoaded = [this] { m_state.display.BgShow = true; };
    o.clearModelCheck = [this] { m_state.system.ModelCheckPending = false; };
    o.switchModel = [this](std::uint32_t type) {
        m_state.system.UiDeviceType = static_cast<std::int32_t>(type);
        applyModelFeatureSet();
        applyLayout();
        applyCaptions();
        return core::modelName(static_cast<std::int32_t>(type));
    };
    o.refresh = [this] { refresh(); };
    o.readSettings = [this](const std::string& path) {
        const files::ReadResult r = files::ReadSettingsFile(path, files::SettingsKind::User, m_state, *m_prompt);
        applyModelFeatureSet();
        m_registers.raise(device::OnceFlag::TriggerChanged);
        return r.markerFound && !r.refused;
    };
    o.settingsChanged = [this] { settingsChanged(); };
    return o;
}

void TMFrm::openDataFile(const std::string& path) {
    BusyMark busy(m_busy);
    files::DataFileRecords records{*m_frame, *m_background, m_state.display.BgLaneSwap, m_spectrumA1, m_spectrumA2, m_etsSpectrum};
    {
        std::scoped_lock lock(m_frame->mutex, m_background->mutex);
        files::OpenDataFile(path, records, m_names, *m_prompt, openOptions());
    }
    refresh();
}

void TMFrm::saveDataFile() {
    BusyMark busy(m_busy);
    const bool ru = m_state.system.RussianUi;
    const std::string path = files::chooseSaveDataFile(*m_prompt, ru, m_state.system.LastDir, m_names);
    if (path.empty()) return;
    files::DataFileRecords records{*m_frame, *m_background, m_state.display.BgLaneSwap, m_spectrumA1, m_spectrumA2, m_etsSpectrum};
    files::SaveDataFileOptions o;
    o.russian = ru;
    o.backgroundView = m_state.display.BgShow;
    o.writeSettings = [this](const std::string& settings) {
        files::WriteContext context;
        context.awgLoaded = m_thread && m_thread->link().awgLoaded.load();
        return files::WriteSettingsFile(settings, files::SettingsKind::User, m_state, context, *m_prompt);
    };
    o.refresh = [this] { refresh(); };
    std::scoped_lock lock(m_frame->mutex, m_background->mutex);
    files::SaveDataFile(path, records, m_names, *m_prompt, o);
}

void TMFrm::openSettingsFile(const std::string& path) {
    BusyMark busy(m_busy);
    files::OpenSettingsFile(path, m_state, *m_prompt);
    m_registers.raise(device::OnceFlag::TriggerChanged);
    applyModelFeatureSet();
    applyLayout();
    applyCaptions();
    settingsChanged();
}

void TMFrm::saveSettingsFile() {
    BusyMark busy(m_busy);
    const std::string path = files::chooseSaveSettingsFile(*m_prompt, m_state.system.RussianUi,
                                                           m_state.system.LastDir,
                                                           m_names.dataFileNameKnown ? m_names.dataFileName : "");
    if (path.empty()) return;
    files::WriteContext context;
    context.awgLoaded = m_thread && m_thread->link().awgLoaded.load();
    files::SaveSettingsFile(path, m_state, context, *m_prompt);
}

void TMFrm::openHelp() {
    BusyMark busy(m_busy);
    ui::openHelp(m_state.system.UiDeviceType, m_options.exePath, m_state.system.RussianUi, *m_prompt);
}

void TMFrm::openDialog(std::string_view name) {
    BusyMark busy(m_busy);
    if (name == "Menu_Trigger") {
        trigger::TForm_TrigSet dialog(
            this, m_state, [this] { settingsChanged(); },
            [this] { m_registers.raise(device::OnceFlag::TriggerChanged); });
        dialog.exec();
    } else if (name == "Menu_Colors") {
        ui::ColorDialogHooks hooks;
        hooks.refresh = [this] { refresh(); };
        hooks.writeProgramSettings = [this] { writeProgramSettings(); };
        ui::ColorDialog dialog(this, m_state, hooks);
        dialog.exec();
    } else if (name == "Menu_ASet") {
        ui::AdvancedDialogHooks hooks;
        hooks.settingsChanged = [this] { settingsChanged(); };
        hooks.refresh = [this] { refresh(); };
        ui::AdvancedSettingsDialog dialog(this, m_state, hooks);
        dialog.exec();
    } else if (name == "Menu_About") {
        const device::StatusInfo status = m_board.snapshot();
        ui::AboutInfo info;
        info.exePath = m_options.exePath;
        info.russian = m_state.system.RussianUi;
        info.debugMode = m_state.system.DebugMode;
        info.deviceReady = m_flags.DeviceReady.load();
        info.deviceType = status.deviceType;
        info.firmwareVersion = status.firmwareVersion;
        info.fpgaVersion = status.fpgaVersion;
        info.serial = status.serial;
        info.flashHash = status.flashHash;
        ui::AboutBox box(this, info);
        box.exec();
    }
    syncControls();
}

void TMFrm::writeProgramSettings() {
    files::WriteContext context;
    context.device = deviceRecordFrom(m_board.snapshot(), m_flags.DeviceReady.load());
    context.awgLoaded = m_thread && m_thread->link().awgLoaded.load();
    files::WriteSettingsFile(m_settingsPath, files::SettingsKind::Program, m_state, context, *m_prompt);
}

// --- per frame ----------------------------------------------------------------------------

display::LinkView TMFrm::linkView() {
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
    v.sources.decimalSeparator = m_decimalSeparator;
    v.sources.thousandsSeparator = m_thousandsSeparator;
    return v;
}

void TMFrm::signalAreaUpdate() {
    const core::FrameHeader& h = m_frame->header;
    // 1. The model question, once per RUN or SINGLE.
    const auto frameType = static_cast<std::int32_t>(h[core::fh::FrameDeviceType]);
    if (modelQuestionDue(m_state.system.ModelCheckPending, h[core::fh::CaptureLength], frameType,
                         m_state.system.UiDeviceType)) {
        m_timer1.stop();
        const bool ru = m_state.system.RussianUi;
        const core::Answer answer =
            m_prompt->message(modelQuestionCaption(ru), modelQuestionText(frameType, ru), core::MessageStyle::YesNo);
        if (answer == core::Answer::Yes) {
            m_state.system.UiDeviceType = frameType;
            modelChanged(true);
        } else {
            m_state.system.ModelCheckPending = false;
        }
        m_timer1.start();
    }
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
    setWindowTitle(QString::fromStdString(windowCaption(c)));
    // 3. The run indicator.
    m_scopePanel->setRunIndicator(m_state.scope.Running, m_state.display.colors.ColorGridFrame);
    // 4.. The picture.
    if (m_flags.FadeRestartRequest.exchange(false)) m_view.requestFadeRestart();
    const display::FrameOutcome out = m_view.signalAreaUpdate(m_state, m_derived, *m_frame, linkView());
    QScrollBar* bar = m_signal->scrollBar();
    {
        const QSignalBlocker block(bar);
        bar->setRange(0, std::max(0, out.scrollMax));
        bar->setValue(m_state.scope.X_Pos);
    }
    if (QAction* fft = m_menu->action("Menu_FFT_A1")) fft->setEnabled(fft->isEnabled() && out.fftA1Enabled);
    if (QAction* fft = m_menu->action("Menu_FFT_A2")) fft->setEnabled(fft->isEnabled() && out.fftA2Enabled);
}

void TMFrm::readoutUpdate() {
    m_view.readoutUpdate(m_state, m_derived, *m_frame, linkView());
    m_signal->screen()->update();
}

void TMFrm::configured() {
    m_reconfiguring = false;
    m_configProgress = 100;
    settingsChanged();
}

void TMFrm::configurationProgress(int percent) {
    m_configProgress = percent;
    m_reconfiguring = percent < 100;
}

void TMFrm::singleShotEnded() {
    m_state.scope.Running = false;
    m_state.scope.SingleMode = false;
    syncControls();
}

// --- shutdown -----------------------------------------------------------------------------

void TMFrm::closeEvent(QCloseEvent* event) {
    shutDown();
    event->accept();
}

void TMFrm::shutDown() {
    if (m_closing) return;
    m_closing = true;
    m_timer1.stop();
    m_timer2.stop();
    // The thread ends for good: its synchronous calls are dropped from now on.
    m_bridge.close();
    suspendAcquisition();
    if (m_connection.DeviceStatus.load() == 0) device::resetInstrument(m_binding, m_connection);
    if (m_connection.handle.load() != nullptr) {
        m_binding.close(m_connection.handle.load());
        m_connection.handle.store(nullptr);
    }
    if (m_started) writeProgramSettings();
}

} // namespace kx::app
