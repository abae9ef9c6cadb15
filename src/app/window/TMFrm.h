// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/BusyFlag.h"
#include "app/FilesController.h"
#include "app/ScopeSession.h"
#include "app/SessionView.h"
#include "app/window/QtGuiBridge.h"
#include "core/Prompt.h"
#include "display/FrameView.h"

#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kx::ui {
class MainMenu;
}
namespace kx::generator {
class GeneratorPanel;
}

namespace kx::app {

class KeyRouter;
class QtPrompt;
class ScopePanel;
class SignalPanel;

// How the window is started; tests replace the dialogs and the file locations.
struct WindowOptions {
    std::string exePath;            // the executable, as /proc/self/exe names it
    std::string settingsPath;       // program settings file; empty: the usual location
    std::vector<std::string> args;  // command-line parameters (without the program name)
    core::Prompt* prompt = nullptr; // message boxes and file dialogs; null: Qt's
    // The first-start language question; returns true for Russian. Empty: TForm_Sel_Lng.
    std::function<bool()> chooseLanguage;
    // The busy flag that every instance started under this executable name sees (the single
    // instance's); null: the window keeps one of its own.
    BusyFlag* busyFlag = nullptr;
    std::vector<std::string> driverLibraries; // empty: $KX48ZZ_D2XX, then libftd2xx.so
};

// TMFrm, the main window: the widgets, the layout and the Qt adapters (the bridge to the
// acquisition thread, the prompt, the timers, dropped files). Every control event goes to the
// session; the widgets show the session's state after its effects.
class TMFrm : public QMainWindow, private SessionView {
public:
    explicit TMFrm(WindowOptions options);
    ~TMFrm() override;

    using FileOrigin = app::FileOrigin;
    void dispatchFile(const std::string& path, FileOrigin origin);
    // A second start handed over `file` with `paramCount` parameters.
    void handOver(const std::string& file, int paramCount);

    ScopeSession& session() { return *m_session; }
    [[nodiscard]] bool busy() const { return m_busy.busy(); }
    core::InstrumentState& state() { return m_session->state(); }
    const DerivedQuantities& derived() const { return m_session->derived(); }
    const device::RequestFlags& flags() const { return m_session->flags(); }
    const core::FrameRecord& frame() const { return m_session->frame(); }
    const display::FrameView& view() const { return m_view; }
    acquisition::ScopeThread* scopeThread() const { return m_session->scopeThread(); }
    ui::MainMenu& mainMenu() const { return *m_menu; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildWidgets();
    void shutDown();
    bool windowKey(QKeyEvent* event); // true when the session took the key
    void keepOnScreen();

    // SessionView.
    void applyLayout() override;
    void applyCaptions() override;
    void syncControls() override;
    bool askLanguage() override;
    void showDialog(Dialog which) override;
    void showHelp() override;
    void closeWindow() override { close(); }
    void raiseWindow() override;
    void serveUntil(const std::function<bool()>& done) override;
    void setCaption(const std::string& caption) override;
    void drawSignalArea() override;
    void drawReadouts() override;
    void updateGeneratorPanel() override;
    void restartFade() override { m_view.requestFadeRestart(); }
    std::int64_t backgroundFirstSample() const override { return m_view.backgroundFirstSample(); }
    bool spectrumShown() const override { return m_view.spectrumShown(); }
    files::ImagePixels screenPixels() const override;
    void setSpectrumScroll(std::int64_t position) override { m_view.setScrollPos(position); }
    void setScrollRange(std::int64_t maximum) override;

    WindowOptions m_options;
    std::unique_ptr<QtPrompt> m_qtPrompt;
    core::Prompt* m_prompt = nullptr;
    BusyFlag m_ownBusy;
    BusyFlag& m_busy;
    QtGuiBridge m_bridge;
    display::FrameView m_view;
    std::unique_ptr<ScopeSession> m_session;

    std::unique_ptr<ui::MainMenu> m_menu;
    ScopePanel* m_scopePanel = nullptr;
    generator::GeneratorPanel* m_genBar = nullptr;
    SignalPanel* m_signal = nullptr;
    QTimer m_timer1;
    QTimer m_timer2;

    bool m_shown = false;
    bool m_closing = false;
    // Layout memory: the design size and the compact window.
    QSize m_designSize;
    bool m_layoutCompact = false;
    bool m_compactSeen = false;
    QRect m_compactGeometry;
    bool m_compactMaximized = false;
    std::unique_ptr<KeyRouter> m_keys; // last: it goes first
};

} // namespace kx::app
