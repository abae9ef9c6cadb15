// SPDX-License-Identifier: GPL-3.0-or-later
// The main window offscreen, its widgets found by their names, against the simulated instrument.
#include "app/window/TMFrm.h"
#include "core/ScopeTables.h"
#include "display/ScreenGeometry.h"
#include "support/ScriptedPrompt.h"
#include "support/SimDevice.h"
#include "ui/MainMenu.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "support/QtWait.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kx::app {
namespace {

using ScriptedPrompt = kx::testing::ScriptedPrompt;

using testing::simControl;

using testing::waitUntil;

class TMFrmTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("kx_window_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        setenv("KX48ZZ_SIM", "pacing=off;model=0x23;noise=off", 1);
        ASSERT_EQ(simControl("reset"), 0);
        ASSERT_EQ(simControl("pacing=off"), 0);
    }
    void TearDown() override {
        window.reset();
        simControl("reset");
        std::filesystem::remove_all(m_dir);
    }

    // A program settings file with its marker (so no language question), in English.
    void writeSettings(const std::string& system) {
        std::ofstream(m_dir / "kx48zz.ini", std::ios::binary)
            << "[System]\r\nKX48zz_INI_FILE=1\r\n"
            << system << "\r\n[Common]\r\nRussian=0\r\nEnglish=1\r\n";
    }

    void start() {
        WindowOptions o;
        o.exePath = (m_dir / "kx48zz").string();
        o.settingsPath = (m_dir / "kx48zz.ini").string();
        o.prompt = &prompt;
        o.chooseLanguage = [this] {
            ++languageQuestions;
            return false;
        };
        o.driverLibraries = {KX_SIM_LIBRARY};
        window = std::make_unique<TMFrm>(std::move(o));
        window->show();
        ASSERT_TRUE(waitUntil([&] { return window->scopeThread() != nullptr && !window->busy(); }));
    }

    // The acquisition thread writes the record under its lock.
    core::FrameHeader header() const {
        std::lock_guard lock(window->frame().mutex);
        return window->frame().header;
    }

    template <typename T> T* find(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QAction* item(const char* name) const { return window->mainMenu().action(name); }
    bool visible(const char* name) const {
        auto* w = find<QWidget>(name);
        return w != nullptr && w->isVisibleTo(window.get());
    }
    bool ready() const {
        return window->flags().DeviceReady.load() && window->flags().DeviceConfigured.load();
    }

    ScriptedPrompt prompt;
    int languageQuestions = 0;
    std::unique_ptr<TMFrm> window;
    std::filesystem::path m_dir;
};

TEST_F(TMFrmTest, RunWithoutInstrumentReportsAndPopsUp) {
    ASSERT_EQ(simControl("unplug"), 0);
    writeSettings("");
    start();
    ASSERT_TRUE(prompt.shown.empty()); // nothing is said at start-up
    auto* run = find<QToolButton>("SpeedButton_Run");
    ASSERT_NE(run, nullptr);
    run->click();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "USB Error - 2");
    EXPECT_NE(prompt.shown[0].text.find("Device not found."), std::string::npos) << prompt.shown[0].text;
    EXPECT_FALSE(run->isChecked());
    EXPECT_FALSE(window->state().scope.Running);
    EXPECT_FALSE(window->busy());

    // Plugged in again, the next press opens it.
    ASSERT_EQ(simControl("replug"), 0);
    run->click();
    EXPECT_TRUE(run->isChecked());
    EXPECT_EQ(prompt.shown.size(), 1u);
    EXPECT_TRUE(waitUntil([&] { return ready(); }));
}

TEST_F(TMFrmTest, SingleEndsByItselfAndTheFrameIsDrawn) {
    writeSettings("WIN_DT=0x0023\r\n");
    start();
    ASSERT_TRUE(waitUntil([&] { return ready(); }));
    auto* single = find<QToolButton>("SpeedButton_Sngl");
    single->click();
    EXPECT_TRUE(single->isChecked());
    ASSERT_TRUE(waitUntil([&] { return !single->isChecked(); }));
    EXPECT_FALSE(window->state().scope.Running);
    EXPECT_FALSE(window->state().scope.SingleMode);
    EXPECT_GT(header()[core::fh::CaptureLength], 0u);
    // The caption names the model.
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("KX4823 ")))
        << window->windowTitle().toStdString();
    // No question: the instrument is the model the interface shows.
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(TMFrmTest, BackgroundSwapAndClearFromTheViewMenu) {
    writeSettings("WIN_DT=0x0023\r\n");
    start();
    ASSERT_TRUE(waitUntil([&] { return ready(); }));
    auto* single = find<QToolButton>("SpeedButton_Sngl");
    single->click();
    ASSERT_TRUE(waitUntil([&] { return !single->isChecked(); }));
    const std::uint32_t length = header()[core::fh::CaptureLength];
    ASSERT_GT(length, 0u);
    const std::int32_t zero = window->state().scope.A1.Zero;

    auto openView = [&] { emit window->mainMenu().menu("Menu_View")->aboutToShow(); };
    openView();
    EXPECT_FALSE(item("Menu_BG_View")->isEnabled());
    EXPECT_TRUE(item("Menu_BG_Do")->isEnabled());
    EXPECT_FALSE(item("Menu_BG_Clr")->isEnabled());

    item("Menu_BG_Do")->trigger();
    EXPECT_EQ(header()[core::fh::CaptureLength], 0u);
    EXPECT_TRUE(window->state().display.BgShow);
    EXPECT_TRUE(item("Menu_BG_View")->isChecked());
    EXPECT_TRUE(window->state().display.BgLaneSwap);
    EXPECT_EQ(window->state().display.BgScreenZeroA1, zero);
    openView();
    EXPECT_TRUE(item("Menu_BG_View")->isEnabled());
    EXPECT_TRUE(item("Menu_BG_Clr")->isEnabled());

    item("Menu_BG_Do")->trigger();
    EXPECT_EQ(header()[core::fh::CaptureLength], length);
    EXPECT_FALSE(window->state().display.BgLaneSwap);

    item("Menu_BG_Do")->trigger();
    item("Menu_BG_Clr")->trigger();
    EXPECT_FALSE(window->state().display.BgLaneSwap);
    openView();
    EXPECT_FALSE(item("Menu_BG_Clr")->isEnabled());
    EXPECT_FALSE(item("Menu_BG_Do")->isEnabled()); // nothing left to swap
}

TEST_F(TMFrmTest, FrameOfAnotherModelAsksOncePerRun) {
    writeSettings("WIN_DT=0x0021\r\n");
    start();
    ASSERT_TRUE(waitUntil([&] { return ready(); }));
    prompt.answers = {core::Answer::No};
    auto* run = find<QToolButton>("SpeedButton_Run");
    run->click();
    ASSERT_TRUE(waitUntil([&] { return header()[core::fh::FrameCounter] >= 4; }));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Warning");
    EXPECT_EQ(prompt.shown[0].text, "Change interface for KX4823? ");
    EXPECT_EQ(window->state().system.UiDeviceType, 0x21);

    // The next press asks again; Yes switches the interface.
    prompt.answers = {core::Answer::Yes};
    run->click();
    run->click();
    ASSERT_TRUE(waitUntil([&] { return window->state().system.UiDeviceType == 0x23; }));
    EXPECT_EQ(prompt.shown.size(), 2u);
    EXPECT_TRUE(visible("SpeedButton_VoltsDiv_A2"));
}

TEST_F(TMFrmTest, ModelChoiceShowsAndHidesControls) {
    writeSettings("");
    start();
    struct Case {
        const char* item;
        bool a2Channel, a2Probe, chGen, chGenChecked, gen, lowVDiv, a1HighRanges;
    };
    const Case cases[] = {
        // Both inputs: Menu_CH_GEN is offered and keeps the check the KX4821 default gave it.
        {"Menu_4823", true, true, true, true, true, true, true},
        {"Menu_4821", true, false, false, true, true, true, true},
        {"Menu_4822", true, true, false, false, false, true, true},
        {"Menu_4820", false, false, false, false, false, true, true},
        // A2 shows the generator: its input path is there, its probe menu is not.
        {"Menu_TRM207_M", true, false, false, true, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        item(c.item)->trigger();
        EXPECT_TRUE(item(c.item)->isChecked());
        EXPECT_EQ(visible("SpeedButton_VoltsDiv_A2"), c.a2Channel);
        EXPECT_EQ(visible("SpeedButton_1V_A2"), c.a2Channel);
        EXPECT_EQ(window->mainMenu().menu("Menu_Probe_A2")->menuAction()->isVisible(), c.a2Probe);
        EXPECT_EQ(item("Menu_CH_GEN")->isVisible(), c.chGen);
        EXPECT_EQ(item("Menu_CH_GEN")->isChecked(), c.chGenChecked);
        EXPECT_EQ(visible("Panel_Gen_Ctrl"), c.gen);
        EXPECT_EQ(visible("SpeedButton_2V_A1"), c.a1HighRanges);
        EXPECT_EQ(item("Menu_Low_V_Div")->isVisible(), c.lowVDiv);
    }
    // The compact front end holds A1 AC-coupled.
    auto* ac = find<QToolButton>("SpeedButton_AC_A1");
    EXPECT_TRUE(ac->isChecked());
    EXPECT_FALSE(ac->isEnabled());
}

TEST_F(TMFrmTest, LanguageSwitchRelabelsTheWindow) {
    writeSettings("");
    start();
    item("Menu_English")->trigger();
    EXPECT_EQ(find<QToolButton>("SpeedButton_Run")->text(), QStringLiteral("RUN"));
    EXPECT_EQ(find<QToolButton>("SpeedButton_Sngl")->text(), QStringLiteral("SINGLE"));
    EXPECT_EQ(window->mainMenu().menu("Menu_File")->title(), QStringLiteral("File"));
    EXPECT_TRUE(find<QToolButton>("SpeedButton_VoltsDiv_A1")->text().contains(QStringLiteral(" V/Div ")));
    item("Menu_Russian")->trigger();
    EXPECT_EQ(find<QToolButton>("SpeedButton_Run")->text(), QStringLiteral("Пуск"));
    EXPECT_EQ(find<QToolButton>("SpeedButton_Sngl")->text(), QStringLiteral("Однокр."));
    EXPECT_EQ(window->mainMenu().menu("Menu_File")->title(), QStringLiteral("Файл"));
    EXPECT_TRUE(find<QToolButton>("SpeedButton_VoltsDiv_A1")->text().contains(QStringLiteral(" В/Дел ")));
}

TEST_F(TMFrmTest, FirstStartAsksForTheLanguageOnce) {
    start(); // no settings file
    EXPECT_EQ(languageQuestions, 1);
    EXPECT_FALSE(window->state().system.RussianUi);
    EXPECT_EQ(find<QToolButton>("SpeedButton_Run")->text(), QStringLiteral("RUN"));
    window->close();
    window.reset();
    // The settings written on close carry the marker: no question the next time.
    ASSERT_TRUE(std::filesystem::exists(m_dir / "kx48zz.ini"));
    start();
    EXPECT_EQ(languageQuestions, 1);
    EXPECT_FALSE(window->state().system.RussianUi);
}

TEST_F(TMFrmTest, OneLanguageFromTheFirstPaint) {
    // First start: behind the language question every caption is in the same language.
    QStringList seen;
    WindowOptions o;
    o.exePath = (m_dir / "kx48zz").string();
    o.settingsPath = (m_dir / "kx48zz.ini").string();
    o.prompt = &prompt;
    o.driverLibraries = {KX_SIM_LIBRARY};
    o.chooseLanguage = [&] {
        seen << find<QToolButton>("SpeedButton_VoltsDiv_A1")->text()
             << find<QToolButton>("SpeedButton_Run")->text() << window->mainMenu().menu("Menu_File")->title();
        return false;
    };
    window = std::make_unique<TMFrm>(std::move(o));
    window->show();
    ASSERT_TRUE(waitUntil([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen,
              (QStringList{QStringLiteral("A1 V/Div "), QStringLiteral("RUN"), QStringLiteral("File")}));
    ASSERT_TRUE(waitUntil([&] { return !window->busy(); }));
    window.reset();

    // A Russian program settings file: Russian from the start, before the window is first shown.
    std::ofstream(m_dir / "kx48zz.ini", std::ios::binary)
        << "[System]\r\nKX48zz_INI_FILE=1\r\nWIN_DT=0x0023\r\n[Common]\r\nRussian=1\r\nEnglish=0\r\n";
    WindowOptions again;
    again.exePath = (m_dir / "kx48zz").string();
    again.settingsPath = (m_dir / "kx48zz.ini").string();
    again.prompt = &prompt;
    again.driverLibraries = {KX_SIM_LIBRARY};
    window = std::make_unique<TMFrm>(std::move(again));
    EXPECT_EQ(find<QToolButton>("SpeedButton_Run")->text(), QStringLiteral("Пуск"));
    EXPECT_EQ(window->mainMenu().menu("Menu_File")->title(), QStringLiteral("Файл"));
    EXPECT_TRUE(find<QToolButton>("SpeedButton_VoltsDiv_A1")->text().contains(QStringLiteral(" В/Дел ")));
}

TEST_F(TMFrmTest, DroppedUnsupportedFileIsRefused) {
    writeSettings("");
    start();
    const std::string path = (m_dir / "notes.txt").string();
    window->dispatchFile(path, TMFrm::FileOrigin::Drop);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Open File");
    EXPECT_EQ(prompt.shown[0].text, path + "\r\nUnsupported file format.");
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Error);
    EXPECT_FALSE(window->busy());
}

TEST_F(TMFrmTest, TimeBaseAndVoltsDivButtonsChangeTheState) {
    writeSettings("WIN_DT=0x0023\r\n");
    start();
    find<QToolButton>("SpeedButton_1uS")->click();
    EXPECT_EQ(window->derived().TimeDivNs, 1000);
    EXPECT_TRUE(find<QToolButton>("SpeedButton_1uS")->isChecked());
    EXPECT_FALSE(find<QToolButton>("SpeedButton_1mS")->isChecked());
    find<QToolButton>("SpeedButton_05V_A1")->click();
    EXPECT_EQ(window->derived().MicroVoltsA1, 500000);
    // The title toggles the probe; the buttons show the probed ranges.
    find<QToolButton>("SpeedButton_VoltsDiv_A1")->click();
    EXPECT_EQ(window->derived().MicroVoltsA1, 5000000);
    EXPECT_EQ(find<QToolButton>("SpeedButton_05V_A1")->text(), QStringLiteral("5 V"));
    EXPECT_TRUE(item("Menu_A1_x10")->isChecked());
}

TEST_F(TMFrmTest, KeysStepTheInstrumentAndRunIt) {
    writeSettings("WIN_DT=0x0023\r\n");
    start();
    ASSERT_TRUE(waitUntil([&] { return ready(); }));
    const std::int64_t before = window->derived().TimeDivNs;
    QTest::keyClick(window.get(), Qt::Key_Right);
    EXPECT_LT(window->derived().TimeDivNs, before);
    EXPECT_TRUE(find<QToolButton>("SpeedButton_05mS")->isChecked());
    QTest::keyClick(window.get(), Qt::Key_Up); // the less sensitive range
    EXPECT_EQ(window->state().scope.A1.voltsDiv, core::kVoltsDiv1V - 1);
    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_TRUE(find<QToolButton>("SpeedButton_Run")->isChecked());
    EXPECT_TRUE(window->state().scope.Running);
    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_FALSE(window->state().scope.Running);
}

TEST_F(TMFrmTest, KeysActWhateverControlHasTheFocus) {
    writeSettings("WIN_DT=0x0023\r\n");
    start();
    ASSERT_TRUE(waitUntil([&] { return ready(); }));
    // A fresh start may leave the focus on a box or a button: the keys still step and run.
    auto* source = find<QComboBox>("ComboBox_Trig_Src");
    ASSERT_NE(source, nullptr);
    const int sourceBefore = source->currentIndex();
    const int triggerBefore = window->state().trigger.Src;
    for (QWidget* target :
         {static_cast<QWidget*>(source), static_cast<QWidget*>(find<QToolButton>("SpeedButton_1mS"))}) {
        const int volts = window->state().scope.A1.voltsDiv;
        QTest::keyClick(target, Qt::Key_Down); // the more sensitive range
        EXPECT_EQ(window->state().scope.A1.voltsDiv, volts + 1);
        QTest::keyClick(target, Qt::Key_Space);
        EXPECT_TRUE(window->state().scope.Running);
        QTest::keyClick(target, Qt::Key_Space);
        EXPECT_FALSE(window->state().scope.Running);
    }
    EXPECT_EQ(source->currentIndex(), sourceBefore);
    EXPECT_EQ(window->state().trigger.Src, triggerBefore);

    // A box being typed in keeps its keys.
    QLineEdit edit(window.get());
    edit.setText(QStringLiteral("ab"));
    const std::int64_t timeDiv = window->derived().TimeDivNs;
    QTest::keyClick(&edit, Qt::Key_Space);
    QTest::keyClick(&edit, Qt::Key_Left);
    EXPECT_EQ(edit.text(), QStringLiteral("ab "));
    EXPECT_EQ(edit.cursorPosition(), 2);
    EXPECT_FALSE(window->state().scope.Running);
    EXPECT_EQ(window->derived().TimeDivNs, timeDiv);
}

TEST_F(TMFrmTest, ColourPanelsShowTheTriggerSourceAndTheShownChannels) {
    writeSettings("WIN_DT=0x0023\r\n");
    start();
    const auto colorOf = [&](const char* name) {
        auto* panel = find<QFrame>(name);
        EXPECT_NE(panel, nullptr) << name;
        if (panel == nullptr) return QColor();
        EXPECT_TRUE(panel->isVisibleTo(window.get())) << name;
        const QImage image = panel->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    };
    const QColor face = window->palette().color(QPalette::Button);
    const QColor green(0, 255, 0); // ColorA1
    find<QAbstractButton>("SpeedButton_Trig_On")->setChecked(false);
    find<QAbstractButton>("SpeedButton_Trig_On")->click();
    ASSERT_TRUE(window->derived().TriggerActive);
    EXPECT_EQ(colorOf("Panel_Color_Trig"), green);
    find<QAbstractButton>("SpeedButton_Trig_On")->click();
    ASSERT_FALSE(window->derived().TriggerActive);
    EXPECT_EQ(colorOf("Panel_Color_Trig"), face);

    EXPECT_EQ(colorOf("Panel_Color_A1"), green);
    window->state().scope.A1.shown = false;
    window->session().refresh();
    EXPECT_EQ(colorOf("Panel_Color_A1"), face);
}

TEST_F(TMFrmTest, CompactViewShrinksByBothPanelsAndLeavesTheWindowWhereItIs) {
    writeSettings("WIN_DT=0x0023\r\n");
    start();
    ASSERT_TRUE(visible("Panel_Gen_Ctrl"));
    const QSize full = window->size();
    const int panelWidth = find<QWidget>("Panel_Scope_Ctrl")->width();
    const int genHeight = find<QWidget>("Panel_Gen_Ctrl")->height();
    window->session().menuItem("Menu_Compact");
    EXPECT_FALSE(visible("Panel_Scope_Ctrl"));
    EXPECT_FALSE(visible("Panel_Gen_Ctrl"));
    EXPECT_EQ(window->width(), full.width() - panelWidth);
    EXPECT_EQ(window->height(), full.height() - genHeight);

    // Moved while compact: leaving compact view grows the window where it stands.
    window->move(40, 30);
    QApplication::processEvents();
    window->session().menuItem("Menu_Compact");
    EXPECT_TRUE(visible("Panel_Scope_Ctrl"));
    EXPECT_EQ(window->size(), full);
    const QRect area = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    EXPECT_EQ(frame.left(), std::min(40, std::max(area.left(), area.right() - frame.width() + 1)));
    EXPECT_EQ(frame.top(), std::min(30, std::max(area.top(), area.bottom() - frame.height() + 1)));
    EXPECT_TRUE(area.contains(frame.topLeft()));
}

TEST_F(TMFrmTest, DraggingTheZeroMarkerMovesTheZero) {
    writeSettings("WIN_DT=0x0023\r\n");
    start();
    auto* screen = find<QWidget>("Image_M");
    ASSERT_NE(screen, nullptr);
    const display::ScreenGeometry& g = window->view().geometry();
    const int zero = window->state().scope.A1.Zero;
    const int row = g.PlotTop + display::roundPx((65536.0 - zero) * g.PlotHeight / 65536.0);
    const QPoint marker(g.PlotLeft - 10, row);
    QTest::mousePress(screen, Qt::LeftButton, Qt::NoModifier, marker);
    QMouseEvent move(QEvent::MouseMove, QPointF(marker + QPoint(0, g.PlotHeight / 8)), QPointF(),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(screen, &move);
    QTest::mouseRelease(screen, Qt::LeftButton, Qt::NoModifier, marker + QPoint(0, g.PlotHeight / 8));
    // One division down is 8192 codes.
    EXPECT_NEAR(window->state().scope.A1.Zero, zero - 8192, 300);
}

TEST_F(TMFrmTest, SerialDecodersDialogListsTheFramesLive) {
    writeSettings("WIN_DT=0x0023\r\n");
    ASSERT_EQ(simControl("d2=uart:115200:8N1:live"), 0);
    start();
    ASSERT_TRUE(waitUntil([&] { return ready(); }));
    window->state().scope.timeBase = core::timeBaseIndexOf(500'000);
    window->state().decoder.RXD = 0;
    window->state().decoder.TXD = 4; // D2
    find<QToolButton>("SpeedButton_Run")->click();
    QAction* menu = item("Menu_SerialDecoders");
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->isEnabled());
    bool listed = false;
    QTimer::singleShot(0, [&] {
        QWidget* d = QApplication::activeModalWidget();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->objectName(), "TForm_S_Decoders");
        EXPECT_TRUE(window->busy());
        d->findChild<QComboBox*>("ComboBox_Decoder")->setCurrentIndex(1); // RS232
        auto* memo = d->findChild<QPlainTextEdit*>("Memo_Decoders");
        listed = waitUntil([&] { return memo->toPlainText().startsWith("TXD (Data - "); });
        d->findChild<QPushButton*>("Button_Cancel")->click();
    });
    menu->trigger();
    EXPECT_TRUE(listed);
    EXPECT_EQ(window->state().decoder.Type, 0); // Cancel put it back
    EXPECT_FALSE(window->busy());
}

} // namespace
} // namespace kx::app
