// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/TMFrm.h"

#include "app/DecoderController.h"
#include "analyzers/forms/TForm_LCMeter.h"
#include "analyzers/forms/TForm_SweepCalibration.h"
#include "app/AnalyzerController.h"
#include "app/GeneratorController.h"
#include "app/ScopeController.h"
#include "app/ViewController.h"
#include "app/window/KeyRouter.h"
#include "app/window/CalibrationDialogs.h"
#include "app/window/QtPrompt.h"
#include "app/window/ScopePanel.h"
#include "app/window/SignalPanel.h"
#include "core/DeviceModel.h"
#include "decoders/forms/TForm_S_Decoders.h"
#include "display/forms/TForm_FFTSet.h"
#include "files/forms/TForm_Recorder.h"
#include "generator/forms/GeneratorPanel.h"
#include "generator/forms/TForm_GeneratorSet.h"
#include "trigger/forms/TForm_TrigSet.h"
#include "ui/AboutBox.h"
#include "ui/AdvancedSettingsDialog.h"
#include "ui/ColorDialog.h"
#include "ui/Help.h"
#include "ui/LanguageDialog.h"
#include "ui/MainMenu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <filesystem>

namespace kx::app {

namespace {

constexpr int kTimer1Ms = 1000;
constexpr int kTimer2Ms = 50;
constexpr QSize kCompactMinimum{450, 300};

display::MouseButton buttonOf(Qt::MouseButton b) {
    if (b == Qt::LeftButton) return display::MouseButton::Left;
    if (b == Qt::RightButton) return display::MouseButton::Right;
    return display::MouseButton::Other;
}

display::Key keyOf(int key) {
    switch (key) {
    case Qt::Key_F:
        return display::Key::F;
    case Qt::Key_N:
        return display::Key::N;
    case Qt::Key_D:
        return display::Key::D;
    case Qt::Key_W:
        return display::Key::W;
    case Qt::Key_V:
        return display::Key::V;
    case Qt::Key_Up:
        return display::Key::Up;
    case Qt::Key_Down:
        return display::Key::Down;
    case Qt::Key_Left:
        return display::Key::Left;
    case Qt::Key_Right:
        return display::Key::Right;
    case Qt::Key_Space:
        return display::Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return display::Key::Enter;
    default:
        return display::Key::Other;
    }
}

display::LevelDrag levelDragOf(DraggedLevel d) {
    switch (d) {
    case DraggedLevel::A1:
        return display::LevelDrag::A1;
    case DraggedLevel::A2:
        return display::LevelDrag::A2;
    case DraggedLevel::None:
        break;
    }
    return display::LevelDrag::None;
}

SessionOptions sessionOptions(const WindowOptions& w) {
    SessionOptions o;
    o.exePath = w.exePath.empty() ? QApplication::applicationFilePath().toStdString() : w.exePath;
    o.settingsPath = w.settingsPath;
    o.args = w.args;
    o.driverLibraries = w.driverLibraries;
    // The locale's separators for the readouts, taken once rather than with every frame.
    const QLocale locale;
    o.decimalSeparator = locale.decimalPoint() == QStringLiteral(",") ? ',' : '.';
    o.thousandsSeparator = locale.groupSeparator() == QStringLiteral(".") ? '.' : ',';
    return o;
}

} // namespace

TMFrm::TMFrm(WindowOptions options)
    : m_options(std::move(options)), m_busy(m_options.busyFlag != nullptr ? *m_options.busyFlag : m_ownBusy),
      m_bridge(this) {
    setObjectName(QStringLiteral("TMFrm"));
    if (m_options.prompt == nullptr) {
        m_qtPrompt = std::make_unique<QtPrompt>(this);
        m_qtPrompt->setBusyHook([this](bool on) { on ? m_busy.mark() : m_busy.unmark(); });
        m_qtPrompt->setRussianSource([this] { return m_session && m_session->state().system.RussianUi; });
        m_prompt = m_qtPrompt.get();
    } else {
        m_prompt = m_options.prompt;
    }
    SessionOptions so = sessionOptions(m_options);
    QApplication::setApplicationName(
        QString::fromStdString(std::filesystem::path(so.exePath).stem().string()));
    // The session reads the program settings; the widgets are built on it.
    m_session = std::make_unique<ScopeSession>(std::move(so), static_cast<SessionView&>(*this), m_bridge,
                                               *m_prompt, m_busy);
    buildWidgets();
    // One language from the first paint: the captions and the controls of the state's language.
    applyCaptions();
    syncControls();
    // The keys of the signal area act whatever control has the focus.
    m_keys = std::make_unique<KeyRouter>(this, [this](QKeyEvent* e) { return windowKey(e); });
    m_view.setBackground(&m_session->background());
    m_view.setSpectrum(&m_session->spectrum());
    m_view.setDecoder(&m_session->decoders().decoder());

    m_timer1.setInterval(kTimer1Ms);
    m_timer2.setInterval(kTimer2Ms);
    connect(&m_timer1, &QTimer::timeout, this, [this] { m_session->supervisionTick(); });
    connect(&m_timer2, &QTimer::timeout, this, [this] {
        if (m_view.fadeDone()) return;
        m_view.requestFadeStep();
        m_session->requestRedraw();
    });
}

TMFrm::~TMFrm() {
    shutDown();
}

void TMFrm::buildWidgets() {
    // The signal panel on the left, the scope controls on the right, the generator bar along
    // the bottom. Every control goes to its controller.
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    m_signal = new SignalPanel(central);
    ScopePanelActions a;
    a.timeBase = [this](int i) { m_session->scope().timeBase(i); };
    a.voltsDiv = [this](int ch, int i) { m_session->scope().voltsDiv(ch, i); };
    a.probeTitle = [this](int ch) { m_session->scope().probeTitle(ch); };
    a.coupling = [this](int ch, bool on) { m_session->scope().coupling(ch, on); };
    a.bandwidth = [this](int ch, bool on) { m_session->scope().bandwidth(ch, on); };
    a.strobo = [this] { m_session->scope().strobo(); };
    a.run = [this](bool down) { m_session->scope().run(down); };
    a.single = [this](bool down) { m_session->scope().single(down); };
    a.triggerDialog = [this] { m_session->menuItem("Menu_Trigger"); };
    a.triggerOn = [this](bool on) { m_session->scope().triggerOn(on); };
    a.triggerSource = [this](int i) { m_session->scope().triggerSource(i); };
    a.triggerEdge = [this](bool on) { m_session->scope().triggerEdge(on); };
    a.triggerAuto = [this](bool on) { m_session->scope().triggerAuto(on); };
    a.triggerPlus = [this](bool on) { m_session->scope().triggerPlus(on); };
    m_scopePanel = new ScopePanel(central, std::move(a));
    m_scopePanel->setFixedWidth(m_scopePanel->sizeHint().width() + 8);
    top->addWidget(m_signal, 1);
    top->addWidget(m_scopePanel);
    outer->addLayout(top, 1);
    m_genBar = new generator::GeneratorPanel(central, m_session->generator().panelActions());
    m_genBar->setFixedHeight(m_genBar->sizeHint().height());
    outer->addWidget(m_genBar);
    setCentralWidget(central);

    m_menu = std::make_unique<ui::MainMenu>(menuBar());
    m_menu->onItemTriggered([this](std::string_view name) { m_session->menuItem(name); });
    m_menu->setDeviceTypesSource([this] {
        ui::DeviceTypes t;
        t.exeNameStartsWithTrm = m_session->exeIsTrm();
        t.uiDeviceType = m_session->state().system.UiDeviceType;
        t.frameDeviceType = static_cast<std::int32_t>(m_session->frameHeader()[core::fh::FrameDeviceType]);
        t.reportedDeviceType = m_session->flags().DeviceReady.load() ? m_session->status().deviceType : 0;
        return t;
    });
    m_menu->onMenuOpening([this](std::string_view name) {
        if (name != "Menu_View") return;
        const display::BackgroundMenuItems items = m_session->view().backgroundItems();
        if (QAction* a = m_menu->action("Menu_BG_View")) a->setEnabled(items.view);
        if (QAction* a = m_menu->action("Menu_BG_Do")) a->setEnabled(items.swap);
        if (QAction* a = m_menu->action("Menu_BG_Clr")) a->setEnabled(items.clear);
    });

    m_signal->screen()->setBitmap(&m_view.screenBitmap());
    ScreenWidget* screen = m_signal->screen();
    screen->resized = [this](int w, int h) {
        m_view.setPaintBoxSize(w, h);
        if (m_session) m_session->refresh();
    };
    screen->setMouseTracking(true);
    const auto pointer = [this](ViewController::PointerPhase phase) {
        return [this, phase](QMouseEvent* e) {
            display::PointerEvent p;
            const QPoint at = e->position().toPoint();
            p.x = at.x();
            p.y = at.y();
            p.button = buttonOf(e->button());
            p.leftDown = (e->buttons() & Qt::LeftButton) != 0;
            p.rightDown = (e->buttons() & Qt::RightButton) != 0;
            m_view.setLevelDrag(levelDragOf(m_session->view().pointer(phase, p, m_view.geometry())));
        };
    };
    screen->pressed = pointer(ViewController::PointerPhase::Press);
    screen->moved = pointer(ViewController::PointerPhase::Move);
    screen->released = pointer(ViewController::PointerPhase::Release);
    screen->doubleClicked = pointer(ViewController::PointerPhase::DoubleClick);
    screen->wheeled = [this](QWheelEvent* e) {
        display::WheelEvent w;
        const QPoint at = e->position().toPoint();
        w.x = at.x();
        w.y = at.y();
        w.up = e->angleDelta().y() > 0;
        w.scrollMax = m_signal->scrollBar()->maximum();
        e->setAccepted(m_session->view().wheel(w, m_view.geometry()));
    };
    m_signal->dropped = [this](const QString& file) {
        if (busy()) return;
        dispatchFile(file.toStdString(), FileOrigin::Drop);
    };
    connect(m_signal->scrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { m_session->scope().scroll(v); });

    // The design size: a 566 x 375 paint box beside the control panel, above the generator bar.
    const QSize scroll = m_signal->scrollBar()->sizeHint();
    m_designSize = QSize(display::kDesignWidth + m_scopePanel->width(),
                         std::max(display::kDesignHeight + scroll.height() + m_genBar->height(),
                                  m_scopePanel->sizeHint().height()) +
                             menuBar()->sizeHint().height());
    setMinimumSize(m_designSize);
    resize(m_designSize);
}

void TMFrm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    // Once the window is on screen, as the first paint would.
    QTimer::singleShot(0, this, [this] {
        m_view.setPaintBoxSize(m_signal->screen()->width(), m_signal->screen()->height());
        m_session->startUp();
        m_timer1.start();
        m_timer2.start();
    });
}

bool TMFrm::windowKey(QKeyEvent* event) {
    display::KeyEvent k;
    k.key = keyOf(event->key());
    k.ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    k.shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    k.scrollMax = m_signal->scrollBar()->maximum();
    return m_session->view().key(k, m_view.geometry());
}

void TMFrm::keyPressEvent(QKeyEvent* event) {
    if (!windowKey(event)) QMainWindow::keyPressEvent(event);
}

void TMFrm::dispatchFile(const std::string& path, FileOrigin origin) {
    m_session->files().dispatch(path, origin);
}

void TMFrm::handOver(const std::string& file, int paramCount) {
    m_session->files().handOver(file, paramCount);
}

// --- SessionView -----------------------------------------------------------------------------

void TMFrm::raiseWindow() {
    raise();
    activateWindow();
    if (isMinimized()) showNormal();
}

void TMFrm::serveUntil(const std::function<bool()>& done) {
    while (!done()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool TMFrm::askLanguage() {
    return m_options.chooseLanguage ? m_options.chooseLanguage() : ui::LanguageDialog::ask(this);
}

void TMFrm::syncControls() {
    const core::InstrumentState& s = m_session->state();
    m_scopePanel->sync(s, m_session->derived(), m_session->features());
    updateGeneratorPanel();
    m_menu->syncFromState(s);
    const bool onTop = (windowFlags() & Qt::WindowStaysOnTopHint) != 0;
    if (onTop != s.display.On_Top) {
        setWindowFlag(Qt::WindowStaysOnTopHint, s.display.On_Top);
        if (m_session->started()) show();
    }
}

void TMFrm::applyCaptions() {
    const auto& sys = m_session->state().system;
    m_menu->applyCaptions(sys.RussianUi, core::hasA2Input(sys.UiDeviceType));
    ui::applyControlCaptions(this, sys.RussianUi);
}

void TMFrm::applyLayout() {
    const core::InstrumentState& s = m_session->state();
    const bool compact = s.display.CompactView;
    const int panelWidth = m_scopePanel->width();
    const int genHeight = m_genBar->height();
    const bool genShown = m_genBar->isVisibleTo(this); // before compact view hides it
    if (compact && !m_layoutCompact) {
        setMinimumSize(kCompactMinimum);
        m_scopePanel->hide();
        m_genBar->hide();
        if (!m_compactSeen) {
            showNormal();
            resize(std::max(kCompactMinimum.width(), width() - panelWidth),
                   std::max(kCompactMinimum.height(), height() - (genShown ? genHeight : 0)));
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
        keepOnScreen();
        m_scopePanel->show();
    }
    m_layoutCompact = compact;
    m_genBar->setVisible(!compact && s.display.Generator && core::hasGenerator(s.system.UiDeviceType));
}

void TMFrm::keepOnScreen() {
    // The window grows where it stands; it only moves as far as the screen needs.
    const QRect area = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    QPoint at = frame.topLeft();
    if (frame.right() > area.right()) at.setX(std::max(area.left(), area.right() - frame.width() + 1));
    if (frame.bottom() > area.bottom()) at.setY(std::max(area.top(), area.bottom() - frame.height() + 1));
    if (at != frame.topLeft()) move(at);
}

void TMFrm::showDialog(Dialog which) {
    ScopeSession& s = *m_session;
    switch (which) {
    case Dialog::Trigger: {
        // apply-settings sees what the dialog changed in the trigger condition itself.
        trigger::TForm_TrigSet dialog(this, s.state(), [&s] { s.settingsChanged(); }, {});
        dialog.exec();
        break;
    }
    case Dialog::Colors: {
        ui::ColorDialogHooks hooks;
        hooks.refresh = [&s] { s.refresh(); };
        hooks.writeProgramSettings = [&s] { s.writeProgramSettings(); };
        ui::ColorDialog dialog(this, s.state(), hooks);
        dialog.exec();
        break;
    }
    case Dialog::Advanced: {
        ui::AdvancedDialogHooks hooks;
        hooks.settingsChanged = [&s] { s.settingsChanged(); };
        hooks.refresh = [&s] { s.refresh(); };
        ui::AdvancedSettingsDialog dialog(this, s.state(), hooks);
        dialog.exec();
        break;
    }
    case Dialog::Generator: {
        generator::TForm_GeneratorSet dialog(
            this, s.state(), [&s] { s.settingsChanged(); },
            [&s] { s.raiseOnce(device::OnceFlag::PhaseSync); });
        dialog.exec();
        break;
    }
    case Dialog::Recorder: {
        // The recorder's window stays reachable beside others.
        if (s.state().display.On_Top) {
            s.state().display.On_Top = false;
            syncControls();
        }
        files::TForm_Recorder::Parts parts{s.state(),
                                           s.recorder(),
                                           *m_prompt,
                                           [&s] { return s.frameHeader(); },
                                           [&s] { s.refresh(); },
                                           s.options().decimalSeparator,
                                           {}};
        files::TForm_Recorder form(this, std::move(parts));
        form.exec();
        break;
    }
    case Dialog::LcMeter: {
        app::LcMeterDriver& lc = s.analyzers().engine().lcMeter();
        analyzers::LcMeterHooks hooks;
        hooks.calibrate = [&lc](bool selfC) { lc.calibrate(selfC); };
        hooks.start = [&lc] { lc.start(); };
        hooks.stop = [&lc](bool selfCChanged) { lc.stop(selfCChanged); };
        hooks.view = [&lc] { return lc.view(); };
        hooks.russian = s.state().system.RussianUi;
        hooks.selfCShown = s.state().system.DebugMode && !core::hasCompactFrontEnd(s.state().system.UiDeviceType);
        analyzers::TForm_LCMeter dialog(this, std::move(hooks));
        dialog.exec();
        break;
    }
    case Dialog::NaCalibration:
    case Dialog::AaCalibration: {
        const bool antenna = which == Dialog::AaCalibration;
        app::AnalyzerCalibration& c =
            antenna ? s.analyzers().antennaCalibration() : s.analyzers().networkCalibration();
        analyzers::SweepCalibrationHooks hooks;
        hooks.measure = [&c](int standard) { c.measure(standard); };
        hooks.save = [&c] { c.save(); };
        hooks.load = [&c] { c.load(); };
        hooks.mayClose = [&c] { return c.mayClose(); };
        hooks.setUse = [&c](bool on) { c.setUse(on); };
        hooks.setMinus20 = [&c](bool on) { c.setMinus20(on); };
        hooks.view = [&c] { return c.view(); };
        hooks.russian = s.state().system.RussianUi;
        analyzers::TForm_SweepCalibration dialog(this, antenna, std::move(hooks));
        dialog.exec();
        break;
    }
    case Dialog::Fft: {
        display::FftDialogHooks hooks;
        hooks.refresh = [&s] { s.refresh(); };
        hooks.restartAndRecompute = [&s] { s.spectrum().restartAndRecomputeAll(); };
        display::TForm_FFTSet dialog(this, s.state(), std::move(hooks));
        dialog.exec();
        break;
    }
    case Dialog::Decoders: {
        DecoderController& d = s.decoders();
        decoders::DecoderDialogHooks hooks;
        hooks.refresh = [&s] { s.refresh(); };
        hooks.listing = [&d]() -> const std::vector<std::string>& { return d.decoder().listing(); };
        hooks.watchListing = [&d](std::function<void()> f) { d.setListingListener(std::move(f)); };
        hooks.clearListing = [&d] { d.clearListing(); };
        hooks.save = [&d] { d.saveDecoded(); };
        decoders::TForm_S_Decoders dialog(this, s.state(), std::move(hooks));
        dialog.exec();
        break;
    }
    case Dialog::ZeroCalibrate:
        showZeroCalibrate(this, s);
        break;
    case Dialog::ZeroCalibrateM:
        showZeroCalibrateM(this, s);
        break;
    case Dialog::FreqCalibration:
        showFreqCalibration(this, s);
        break;
    case Dialog::SystemCalibration:
        showSystemCalibration(this, s);
        break;
    case Dialog::About: {
        const device::StatusInfo status = s.status();
        ui::AboutInfo info;
        info.exePath = s.options().exePath;
        info.russian = s.state().system.RussianUi;
        info.debugMode = s.state().system.DebugMode;
        info.deviceReady = s.flags().DeviceReady.load();
        info.deviceType = status.deviceType;
        info.firmwareVersion = status.firmwareVersion;
        info.fpgaVersion = status.fpgaVersion;
        info.serial = status.serial;
        info.flashHash = status.flashHash;
        ui::AboutBox box(this, info);
        box.exec();
        break;
    }
    }
}

void TMFrm::updateGeneratorPanel() {
    GeneratorController& g = m_session->generator();
    m_genBar->update(m_session->state(), g.awgStatus(), g.loader().marks(), g.loader().marksRevision(),
                     m_session->options().decimalSeparator);
}

void TMFrm::showHelp() {
    const auto& sys = m_session->state().system;
    ui::openHelp(sys.UiDeviceType, m_session->options().exePath, sys.RussianUi, *m_prompt);
}

files::ImagePixels TMFrm::screenPixels() const {
    const QImage& i = m_view.screenBitmap();
    return {reinterpret_cast<const std::uint32_t*>(i.constBits()), i.width(), i.height(),
            static_cast<std::size_t>(i.bytesPerLine() / 4)};
}

void TMFrm::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void TMFrm::setScrollRange(std::int64_t maximum) {
    QScrollBar* bar = m_signal->scrollBar();
    const QSignalBlocker block(bar);
    bar->setRange(0, static_cast<int>(std::clamp<std::int64_t>(maximum, 0, INT32_MAX)));
    bar->setValue(m_session->state().scope.X_Pos);
}

void TMFrm::drawSignalArea() {
    ScopeSession& s = *m_session;
    m_scopePanel->setRunIndicator(s.state().scope.Running, s.state().display.colors.ColorGridFrame);
    const display::FrameOutcome out =
        m_view.signalAreaUpdate(s.state(), s.derived(), s.frame(), s.linkView());
    setScrollRange(out.scrollMax);
    if (QAction* fft = m_menu->action("Menu_FFT_A1")) fft->setEnabled(fft->isEnabled() && out.fftA1Enabled);
    if (QAction* fft = m_menu->action("Menu_FFT_A2")) fft->setEnabled(fft->isEnabled() && out.fftA2Enabled);
}

void TMFrm::drawReadouts() {
    ScopeSession& s = *m_session;
    m_view.readoutUpdate(s.state(), s.derived(), s.frame(), s.linkView());
    m_signal->screen()->update();
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
    if (m_session) m_session->shutDown();
}

} // namespace kx::app
