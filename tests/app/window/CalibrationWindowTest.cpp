// SPDX-License-Identifier: GPL-3.0-or-later
// Calibration from the Options menu against an aged simulated unit: the automatic zero dialog
// run to its end brings grounded inputs back to their zero lines; the manual dialog of the
// compact front end shifts A1's zero; the frequency correction brings the counter back to a
// 1 kHz bench signal. With KX_SHOTS_DIR set, each dialog is saved as a picture in both languages.
#include "app/CalibrationController.h"
#include "app/window/TMFrm.h"
#include "calibration/FreqCalibration.h"
#include "core/ScopeTables.h"
#include "support/ScriptedPrompt.h"
#include "support/SimDevice.h"
#include "ui/MainMenu.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "support/QtWait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>

namespace kx::app {
namespace {

using testing::simControl;

using testing::waitUntil;

void shot(QWidget* w, const std::string& name) {
    if (const char* dir = std::getenv("KX_SHOTS_DIR"))
        w->grab().save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
}

class CalibrationWindow : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("kx_zero_window_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        ASSERT_EQ(simControl("reset"), 0);
    }
    void TearDown() override {
        window.reset();
        simControl("reset");
        std::filesystem::remove_all(m_dir);
    }

    void start(const char* model, bool russian, const char* sim, bool debug = false) {
        setenv("KX48ZZ_SIM", sim, 1);
        ASSERT_EQ(simControl(sim), 0);
        std::ofstream(m_dir / "kx48zz.ini", std::ios::binary)
            << "[System]\r\nKX48zz_INI_FILE=1\r\nWIN_DT=" << model << (debug ? "\r\nDebug=1" : "")
            << "\r\n\r\n[Common]\r\nM_DEBUG=" << (debug ? 1 : 0) << "\r\nRussian=" << (russian ? 1 : 0)
            << "\r\nEnglish=" << (russian ? 0 : 1) << "\r\nCH_GEN=0\r\n";
        // Debug mode asks before it opens the device it found.
        if (debug) prompt.answers.push_back(core::Answer::Yes);
        WindowOptions o;
        o.exePath = (m_dir / "kx48zz").string();
        o.settingsPath = (m_dir / "kx48zz.ini").string();
        o.prompt = &prompt;
        o.chooseLanguage = [] { return false; };
        o.driverLibraries = {KX_SIM_LIBRARY};
        window = std::make_unique<TMFrm>(std::move(o));
        window->show();
        ASSERT_TRUE(waitUntil([&] { return window->scopeThread() != nullptr && !window->busy(); }));
        ASSERT_TRUE(waitUntil([&] { return window->flags().DeviceReady.load(); }));
    }

    // Runs `act` on the modal dialog the menu item opens, then returns once it is closed.
    void withDialog(const char* item, const std::function<void(QWidget*)>& act) {
        QTimer::singleShot(0, [act] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            act(w);
        });
        window->mainMenu().action(item)->trigger();
    }

    // The grounded inputs' distance from their zero lines, in 8-bit steps, at a volts/div index.
    std::array<double, 2> offsets(int voltsDiv) {
        core::InstrumentState& s = window->state();
        s.scope.A1.voltsDiv = s.scope.A2.voltsDiv = voltsDiv;
        s.scope.A1.shown = s.scope.A2.shown = true;
        s.scope.Running = true;
        window->session().settingsChanged();
        // Two frames under the new settings.
        const std::uint32_t from = window->frame().header[core::fh::FrameCounter];
        EXPECT_TRUE(waitUntil([&] { return window->frame().header[core::fh::FrameCounter] >= from + 3; }));
        const core::FrameHeader h = window->session().frameHeader();
        const double n = h[core::fh::AnalogCount];
        if (n <= 0) return {99, 99};
        return {(h.getReal(core::fh::SumA1) / n - s.scope.A1.Zero) / 256.0,
                (h.getReal(core::fh::SumA2) / n - s.scope.A2.Zero) / 256.0};
    }

    kx::testing::ScriptedPrompt prompt;
    std::unique_ptr<TMFrm> window;
    std::filesystem::path m_dir;
};

constexpr int k1V = 1, k100mV = 4, k10mV = 7;

TEST_F(CalibrationWindow, AutomaticRunBringsAnAgedUnitBack) {
    start("0x0023", false, "pacing=off;model=0x23;unit=drifted;seed=7;a1=ground;a2=ground");
    const auto before = offsets(k10mV);
    EXPECT_GT(std::abs(before[0]), 1.0);
    EXPECT_GT(std::abs(before[1]), 1.0);

    withDialog("Menu_ZeroCalibration", [this](QWidget* d) {
        EXPECT_EQ(d->windowTitle().toStdString(), "Zero Calibrate");
        auto* info = d->findChild<QLabel*>("Label_Info");
        auto* start = d->findChild<QPushButton*>("Button_Start");
        auto* ok = d->findChild<QPushButton*>("Button_OK");
        auto* bar = d->findChild<QProgressBar*>("ProgressBar_Zero");
        ASSERT_TRUE(info && start && ok && bar);
        EXPECT_EQ(info->text().toStdString(), "Disconnect everything from BNC's and press Start button.");
        EXPECT_TRUE(start->isEnabled());
        EXPECT_FALSE(ok->isEnabled());
        shot(d, "zero_calibrate_en");
        start->click();
        EXPECT_EQ(info->text().toStdString(), "Calibration, please wait...");
        EXPECT_TRUE(waitUntil([&] { return bar->value() > 20; }));
        shot(d, "zero_calibrate_running_en");
        ASSERT_TRUE(waitUntil([&] { return ok->isEnabled(); }, 30000));
        EXPECT_EQ(info->text().toStdString(), "Calibration OK.");
        EXPECT_EQ(bar->value(), bar->maximum());
        shot(d, "zero_calibrate_done_en");
        ok->click();
    });
    EXPECT_FALSE(window->busy());
    // The instrument keeps the table and sends it back.
    ASSERT_TRUE(waitUntil([&] {
        const auto st = window->session().status();
        return st.zeroTableRead && st.zeroTable == window->state().calibration.ZeroTable &&
               core::calWord(st.zeroTable, 0) != core::calWord(core::defaultZeroOffsetTable(), 0);
    }));
    for (const int range : {k1V, k100mV, k10mV}) {
        SCOPED_TRACE(range);
        const auto after = offsets(range);
        EXPECT_LT(std::abs(after[0]), 0.25);
        EXPECT_LT(std::abs(after[1]), 0.25);
    }
}

TEST_F(CalibrationWindow, CancelHalfWayKeepsTheOldTableAndView) {
    start("0x0023", true, "pacing=off;model=0x23;unit=drifted;seed=7;a1=ground;a2=ground");
    const core::CalTable before = window->state().calibration.ZeroTable;
    const std::int32_t zeroA1 = window->state().scope.A1.Zero;
    withDialog("Menu_ZeroCalibration", [](QWidget* d) {
        EXPECT_EQ(d->windowTitle().toStdString(), "Калибровка уровня нуля");
        auto* info = d->findChild<QLabel*>("Label_Info");
        EXPECT_EQ(info->text().toStdString(), "Отключите всё от разъемов устройства.");
        EXPECT_EQ(d->findChild<QPushButton*>("Button_Cancel")->text().toStdString(), "Отмена");
        shot(d, "zero_calibrate_ru");
        d->findChild<QPushButton*>("Button_Start")->click();
        EXPECT_EQ(info->text().toStdString(), "Идет калибровка ...");
        auto* bar = d->findChild<QProgressBar*>("ProgressBar_Zero");
        EXPECT_TRUE(waitUntil([&] { return bar->value() > 30; }));
        shot(d, "zero_calibrate_running_ru");
        d->findChild<QPushButton*>("Button_Cancel")->click();
    });
    EXPECT_EQ(window->state().calibration.ZeroTable, before);
    EXPECT_EQ(window->state().scope.A1.Zero, zeroA1);
    EXPECT_FALSE(window->flags().CalibrationRunPending.load());
    EXPECT_EQ(window->session().calibration().zeroRun(), CalibrationController::ZeroRun::Idle);
}

TEST_F(CalibrationWindow, ManualShiftOfTheCompactFrontEnd) {
    for (const bool russian : {false, true}) {
        SCOPED_TRACE(russian);
        window.reset();
        start("0x0035", russian, "pacing=off;model=0x35");
        withDialog("Menu_ZeroCalibration", [&](QWidget* d) {
            EXPECT_EQ(d->objectName().toStdString(), "TForm_ZeroCalibrateM");
            auto* bar = d->findChild<QScrollBar*>("ScrollBar_ZShift");
            auto* label = d->findChild<QLabel*>("Label_ZShift");
            ASSERT_TRUE(bar && label);
            const std::string prefix = russian ? "Уровень нуля = " : "Zero Level = ";
            bar->setValue(5);
            EXPECT_EQ(label->text().toStdString(), prefix + "5");
            EXPECT_EQ(window->state().calibration.ZeroTable[40], 5);
            shot(d, russian ? "zero_calibrate_manual_ru" : "zero_calibrate_manual_en");
            // Past the converters' range: held where the larger offset still fits.
            bar->setValue(127);
            // The offsets of the table in force now: the instrument's replaces the built-in one
            // once its status packets have brought it.
            const int adc0 = static_cast<std::int8_t>(window->state().calibration.SystemTable[10]);
            const int adc1 = static_cast<std::int8_t>(window->state().calibration.SystemTable[11]);
            const int top = 126 - std::max(adc0, adc1);
            EXPECT_EQ(label->text().toStdString(), prefix + std::to_string(top) + " (max)");
            EXPECT_EQ(bar->value(), top);
            bar->setValue(5);
            d->findChild<QPushButton*>("Button_OK")->click();
        });
        EXPECT_EQ(window->state().calibration.ZeroTable[40], 5) << "kept and uploaded";
        EXPECT_TRUE(waitUntil([&] { return window->session().status().zeroTable[40] == 5; }));
    }
}

// Deviation of the counter's reading of the 1 kHz bench signal, in ppm, from a reading taken
// after the settings went out.
double counterPpm(TMFrm& w) {
    const std::uint32_t seen = w.session().status().counterUpdates;
    EXPECT_TRUE(waitUntil([&] { return w.session().status().counterUpdates >= seen + 3; }));
    const device::StatusInfo st = w.session().status();
    if (st.counterTicks == 0 || (st.counterState & 0x30) != 0) return 1e9;
    const double f = (static_cast<double>(st.counterEdges) - 1.0) * 2e8 / st.counterTicks;
    return (f - 1000.0) / 1000.0 * 1e6;
}

TEST_F(CalibrationWindow, FrequencyCorrectionBringsTheCounterBack) {
    start("0x0023", false, "pacing=off;model=0x23;unit=drifted;seed=7;a1=square:1000:2");
    window->state().scope.Running = true;
    window->session().settingsChanged();
    const double before = counterPpm(*window);
    EXPECT_GT(std::abs(before), 1.5) << "the aged oscillator";
    EXPECT_LT(std::abs(before), 8.0);

    // The time base runs fast by what the counter reads low: correct by that much.
    const int correction = static_cast<int>(std::lround(before * 100.0));
    withDialog("Menu_Freq_Calibration", [&](QWidget* d) {
        EXPECT_EQ(d->windowTitle().toStdString(), "System Freq. Calibration");
        auto* bar = d->findChild<QScrollBar*>("ScrollBar_PPM");
        auto* label = d->findChild<QLabel*>("Label_PPM");
        ASSERT_TRUE(bar && label);
        EXPECT_EQ(label->text().toStdString(), "PPM = 0.00");
        bar->setValue(correction);
        char expected[32];
        std::snprintf(expected, sizeof expected, "PPM = %.2f", correction * 0.01);
        EXPECT_EQ(label->text().toStdString(), expected);
        EXPECT_EQ(window->state().system.Freq_Clbr, correction) << "retuned at once";
        shot(d, "freq_calibration_en");
        d->findChild<QPushButton*>("Button_OK")->click();
    });
    EXPECT_EQ(window->state().system.Freq_Clbr, correction);
    EXPECT_NEAR(counterPpm(*window), 0.0, 1.0);
    std::ifstream ini(m_dir / "kx48zz.ini", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Freq_Clbr=" + std::to_string(correction)), std::string::npos) << "written on OK";

    // Cancel puts the correction back; far out of the tuning range the label says so.
    window->state().system.RussianUi = true;
    withDialog("Menu_Freq_Calibration", [&](QWidget* d) {
        EXPECT_EQ(d->windowTitle().toStdString(), "Калибр. системной частоты");
        EXPECT_EQ(d->findChild<QPushButton*>("Button_Cancel")->text().toStdString(), "Отмена");
        auto* bar = d->findChild<QScrollBar*>("ScrollBar_PPM");
        bar->setValue(-1500);
        shot(d, "freq_calibration_ru");
        d->findChild<QPushButton*>("Button_Cancel")->click();
    });
    EXPECT_EQ(window->state().system.Freq_Clbr, correction);
}

TEST_F(CalibrationWindow, SystemCalibrationMatchesTheAgedConverters) {
    for (const bool russian : {false, true}) {
        SCOPED_TRACE(russian);
        window.reset();
        start("0x0023", russian, "pacing=off;model=0x23;unit=drifted;seed=7;a1=generator;a2=generator", true);
        ASSERT_TRUE(window->state().system.DebugMode);
        const core::CalTable before = window->state().calibration.SystemTable;
        withDialog("Menu_SystemCalibration", [&](QWidget* d) {
            EXPECT_EQ(d->windowTitle().toStdString(), russian ? "Системная калибровка" : "System Calibrate");
            auto* a1 = d->findChild<QLabel*>("Label_ADC_A1");
            auto* a2 = d->findChild<QLabel*>("Label_ADC_A2");
            ASSERT_TRUE(a1 && a2);
            // The verification first: the aged converters do not match with the shipped trims.
            d->findChild<QPushButton*>("Button_1KHz_A1")->click();
            const int seen = window->session().calibration().systemResultCount();
            ASSERT_TRUE(
                waitUntil([&] { return window->session().calibration().systemResultCount() > seen + 1; }));
            QApplication::processEvents();
            // (The second pass finds the trims the first one stored.)
            if (!russian) {
                EXPECT_TRUE(a1->text().endsWith("FAILED") || a2->text().endsWith("FAILED"))
                    << a1->text().toStdString() << "\n"
                    << a2->text().toStdString();
            }
            d->findChild<QPushButton*>("Button_Auto_A1")->click();
            ASSERT_TRUE(waitUntil([&] { return window->session().calibration().systemMode() == 6; }, 30000));
            const int after = window->session().calibration().systemResultCount();
            ASSERT_TRUE(
                waitUntil([&] { return window->session().calibration().systemResultCount() > after + 1; }));
            ASSERT_TRUE(waitUntil([&] { return a1->text().endsWith("\nOK") && a2->text().endsWith("\nOK"); }))
                << a1->text().toStdString() << "\n"
                << a2->text().toStdString();
            shot(d, russian ? "system_calibration_ru" : "system_calibration_en");
            d->findChild<QPushButton*>(russian ? "Button_Cancel" : "Button_OK")->click();
        });
        const core::CalTable& now = window->state().calibration.SystemTable;
        if (russian) {
            EXPECT_EQ(now, before) << "Cancel puts the block back";
        } else {
            EXPECT_NE(now, before);
            EXPECT_TRUE(waitUntil([&] {
                return window->session().status().systemTable == window->state().calibration.SystemTable;
            })) << "uploaded and sent back";
        }
        EXPECT_FALSE(window->flags().CalibrationRunPending.load());
    }
}

// The system calibration's tuning table measured on the aged unit against a 1 kHz reference on
// A1: afterwards the tuning code of 0 ppm brings the counter to the reference within 1 ppm, in
// the dialog and, once the block is uploaded, in normal use.
TEST_F(CalibrationWindow, SystemCalibrationMeasuresTheTuningTable) {
    start("0x0023", false, "pacing=off;model=0x23;unit=drifted;seed=7;a1=square:1000:2", true);
    window->state().system.Ref_Freg = 1000.0;
    const core::CalTable before = window->state().calibration.SystemTable;
    withDialog("Menu_SystemCalibration", [&](QWidget* d) {
        CalibrationController& c = window->session().calibration();
        EXPECT_GT(std::abs(counterPpm(*window)), 1.5) << "the shipped table no longer fits";
        auto* timer = d->findChild<QTimer*>("Timer1");
        auto* run = d->findChild<QPushButton*>("Button_Auto_Freq");
        auto* bar = d->findChild<QProgressBar*>("ProgressBar_Freq");
        auto* meter = d->findChild<QLabel*>("Label_FMeter");
        ASSERT_TRUE(timer && run && bar && meter);
        // The procedure counts 150 ticks; a quicker tick still leaves each point several readings.
        timer->setInterval(20);
        std::vector<std::uint32_t> updates;
        std::uint16_t code = c.tuningCode();
        run->click();
        EXPECT_EQ(c.systemMode(), 12);
        EXPECT_EQ(c.tuningCode(), 0x4000);
        ASSERT_TRUE(waitUntil(
            [&] {
                if (c.tuningCode() != code) {
                    code = c.tuningCode();
                    updates.push_back(window->session().status().counterUpdates);
                }
                return !c.freqTableRunning();
            },
            30000));
        EXPECT_EQ(c.systemMode(), 0);
        // Every point was read after fresh counter results at its own code.
        ASSERT_GE(updates.size(), 5u);
        for (std::size_t k = 1; k < updates.size(); ++k) EXPECT_GE(updates[k] - updates[k - 1], 2u) << k;
        EXPECT_EQ(bar->value(), bar->maximum());
        const core::CalTable& t = window->state().calibration.SystemTable;
        EXPECT_EQ(c.tuningCode(), calibration::CodeForPpm(0.0, t));
        for (int k = 0; k < 5; ++k) {
            const auto at = core::kSysFreqPoints + 2 * static_cast<std::size_t>(k);
            EXPECT_NE(core::calInt16(t, at), core::calInt16(before, at)) << k;
        }
        EXPECT_NEAR(counterPpm(*window), 0.0, 1.0);
        EXPECT_TRUE(meter->text().endsWith(" ppm")) << meter->text().toStdString();
        shot(d, "system_calibration_freq_en");
        d->findChild<QPushButton*>("Button_OK")->click();
    });
    // Uploaded, and the program's own tuning (no user correction) now uses the new table.
    ASSERT_TRUE(waitUntil(
        [&] { return window->session().status().systemTable == window->state().calibration.SystemTable; }));
    EXPECT_EQ(window->state().system.Freq_Clbr, 0);
    window->state().scope.Running = true;
    window->session().settingsChanged();
    EXPECT_NEAR(counterPpm(*window), 0.0, 1.0);
}

// The logic inputs on the generator's 0..3 V sine: each threshold button is found again by the
// share of low samples; the generator's points and the dither are shown from the block, and
// entering a generator edit puts its raw offset code out.
TEST_F(CalibrationWindow, SystemCalibrationDigitalThresholdsAndGenerator) {
    for (const bool russian : {false, true}) {
        SCOPED_TRACE(russian);
        window.reset();
        start("0x0023", russian,
              "pacing=off;model=0x23;a1=generator;a2=generator;d1=generator;d2=generator;d3=generator;"
              "d4=generator",
              true);
        const core::CalTable kept = window->state().calibration.SystemTable;
        // A view the dialog changes and puts back.
        core::InstrumentState& st = window->state();
        st.scope.A1.probe = 1;
        st.display.cursors = core::CursorMode::Double;
        st.display.Persistence = true;
        st.display.drawMode = core::DrawModeChoice::Dots;
        st.fft.Size = 2;
        st.fft.Ave_On = false;
        st.fft.Zoom = 3;
        st.calibration.ZeroTable[core::kZeroByteShiftA1] = 7;
        window->session().settingsChanged();
        const core::InstrumentState view = st;
        withDialog("Menu_SystemCalibration", [&](QWidget* d) {
            CalibrationController& c = window->session().calibration();
            EXPECT_EQ(st.scope.A1.probe, 0);
            EXPECT_EQ(st.display.cursors, core::CursorMode::None);
            EXPECT_FALSE(st.display.Persistence);
            EXPECT_EQ(st.display.drawMode, core::DrawModeChoice::Sinx);
            EXPECT_EQ(st.fft.Size, 6);
            EXPECT_TRUE(st.fft.Ave_On);
            EXPECT_EQ(st.fft.Ave, 2);
            EXPECT_EQ(st.fft.Zoom, 0);
            // The dither's spectrum: A1's FFT at 10 us/div, sampled at 5 ns.
            d->findChild<QPushButton*>("Button_FFT_Dith_A1")->click();
            EXPECT_TRUE(st.fft.View_A1);
            EXPECT_EQ(core::kTimeBases[static_cast<std::size_t>(st.scope.timeBase)].nsPerDiv, 10000);
            EXPECT_EQ(window->session().registers().snapshot().get32(device::reg::kDecimation), 1u);
            auto* group = d->findChild<QGroupBox*>("GroupBox_Digital");
            ASSERT_NE(group, nullptr);
            d->findChild<QPushButton*>("Button_Dig_10K")->click();
            EXPECT_EQ(c.systemMode(), 13);
            const struct {
                const char* button;
                const char* caption;
            } thresholds[] = {{"Button_Thr_05V", "= 500.0 mV)"},
                              {"Button_Thr_15V", "= 1.500 V)"},
                              {"Button_Thr_25V", "= 2.500 V)"}};
            for (const auto& th : thresholds) {
                SCOPED_TRACE(th.button);
                d->findChild<QPushButton*>(th.button)->click();
                const int seen = c.systemResultCount();
                // A result set measured wholly at the new threshold.
                ASSERT_TRUE(waitUntil([&] { return c.systemResultCount() > seen + 1; }, 20000));
                QApplication::processEvents();
                EXPECT_TRUE(group->title().endsWith(th.caption)) << group->title().toStdString();
                for (int i = 1; i <= 4; ++i) {
                    const auto* line = d->findChild<QLabel*>(QString("Label_D%1").arg(i));
                    EXPECT_TRUE(line->text().endsWith(" - OK")) << line->text().toStdString();
                }
            }
            const std::string prefix = russian ? "Калибровка генератора. " : "Generator Calibration. ";
            EXPECT_EQ(d->findChild<QGroupBox*>("GroupBox_Generator")->title().toStdString().rfind(prefix, 0),
                      0u);
            EXPECT_EQ(d->findChild<QLabel*>("Label_Dith_A1")->text().toStdString().rfind("AMP = ", 0), 0u);
            // Entering the -2.7 V point: mode 0, its raw code and no amplitude go out.
            auto* neg = d->findChild<QLineEdit*>("Edit_Gen_Neg");
            ASSERT_NE(neg, nullptr);
            QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
            QApplication::sendEvent(neg, &in);
            EXPECT_EQ(c.systemMode(), 0);
            const device::RegisterImage image = window->session().registers().snapshot();
            EXPECT_EQ(image.get16(device::reg::kGenOffsetCode), 0x2000);
            EXPECT_EQ(image.get16(device::reg::kGenAmpCode), 0);
            // A typed value is stored in 0.1 mV; text that is no number keeps it.
            // Either decimal separator, whatever the locale; the caption follows at once.
            auto* gen = d->findChild<QGroupBox*>("GroupBox_Generator");
            const QString caption = gen->title();
            neg->setText("-2,6900");
            emit neg->textEdited(neg->text());
            EXPECT_EQ(core::calInt16(window->state().calibration.SystemTable, core::kSysGenNegative), -26900);
            EXPECT_NE(gen->title(), caption);
            neg->setText("-2.6800");
            emit neg->textEdited(neg->text());
            EXPECT_EQ(core::calInt16(window->state().calibration.SystemTable, core::kSysGenNegative), -26800);
            neg->setText("-2.6x");
            emit neg->textEdited(neg->text());
            EXPECT_EQ(core::calInt16(window->state().calibration.SystemTable, core::kSysGenNegative), -26800);
            d->findChild<QPushButton*>("Button_Dig_10K")->click();
            shot(d, russian ? "system_calibration_digital_ru" : "system_calibration_digital_en");
            d->findChild<QPushButton*>("Button_Cancel")->click();
        });
        EXPECT_EQ(window->state().calibration.SystemTable, kept) << "Cancel puts the block back";
        EXPECT_EQ(st.scope.A1.probe, view.scope.A1.probe);
        EXPECT_EQ(st.scope.timeBase, view.scope.timeBase);
        EXPECT_EQ(st.scope.A1.voltsDiv, view.scope.A1.voltsDiv);
        EXPECT_EQ(st.display.cursors, view.display.cursors);
        EXPECT_EQ(st.display.Persistence, view.display.Persistence);
        EXPECT_EQ(st.display.drawMode, view.display.drawMode);
        EXPECT_EQ(st.fft.View_A1, view.fft.View_A1);
        EXPECT_EQ(st.fft.Size, view.fft.Size);
        EXPECT_EQ(st.fft.Ave_On, view.fft.Ave_On);
        EXPECT_EQ(st.fft.Zoom, view.fft.Zoom);
        EXPECT_EQ(st.calibration.ZeroTable[core::kZeroByteShiftA1], 7);
    }
}

// On the compact front end the generator's points are not calibrated here, and the converters
// expect the smaller test sine of its 100 mV/div.
TEST_F(CalibrationWindow, SystemCalibrationOnTheCompactFrontEnd) {
    start("0x0035", false, "pacing=off;model=0x35", true);
    withDialog("Menu_SystemCalibration", [&](QWidget* d) {
        EXPECT_EQ(d->findChild<QGroupBox*>("GroupBox_Generator")->title().toStdString(),
                  "Generator Calibration. ");
        for (const char* hidden : {"Edit_Gen_Zero", "Edit_Gen_Neg", "Edit_Gen_Pos", "Label_Gen_Status"})
            EXPECT_FALSE(d->findChild<QWidget*>(hidden)->isVisible()) << hidden;
        for (const char* hidden : {"Button_SET", "Button_TestM3V", "Button_Test3V"})
            EXPECT_FALSE(d->findChild<QWidget*>(hidden)->isVisible()) << hidden;
        EXPECT_TRUE(d->findChild<QWidget*>("Button_3VGain")->isVisible());
        EXPECT_DOUBLE_EQ(window->session().calibration().systemExpected(), 650000.0);
        const device::RegisterImage image = window->session().registers().snapshot();
        EXPECT_EQ(image.get16(device::reg::kGenAmpCode), 1300);
        EXPECT_EQ(image.get16(device::reg::kGenLoadCode), 20972);
        d->findChild<QPushButton*>("Button_Cancel")->click();
    });
}

} // namespace
} // namespace kx::app
