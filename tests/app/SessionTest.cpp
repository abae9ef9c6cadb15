// SPDX-License-Identifier: GPL-3.0-or-later
// The program without its widgets: handlers on the session against the simulated instrument, with
// the test thread as the GUI thread.
#include "analyzers/AnalyzerFrame.h"
#include "app/CalibrationController.h"
#include "app/DecoderController.h"
#include "app/FilesController.h"
#include "app/GeneratorController.h"
#include "app/ScopeController.h"
#include "app/ScopeSession.h"
#include "app/ViewController.h"
#include "calibration/SystemTestModes.h"
#include "core/DeviceModel.h"
#include "core/ScopeTables.h"
#include "device/StatusPacket.h"
#include "support/PumpedBridge.h"
#include "support/ScriptedPrompt.h"
#include "support/SimDevice.h"
#include "ui/MenuModel.h"
#include "ui/MenuTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace kx::app {
namespace {

using testing::PumpedBridge;

// The window's side, recorded.
struct FakeView : SessionView {
    std::vector<std::string> calls; // effects in the order they arrived
    int signalAreas = 0;
    int fadeRestarts = 0;
    std::string caption;
    std::vector<Dialog> dialogs;
    PumpedBridge* bridge = nullptr;

    void applyLayout() override { calls.push_back("layout"); }
    void applyCaptions() override { calls.push_back("captions"); }
    void syncControls() override { calls.push_back("sync"); }
    bool askLanguage() override { return false; }
    std::function<void(Dialog)> onDialog; // what the user does while a dialog is open
    void showDialog(Dialog which) override {
        dialogs.push_back(which);
        if (onDialog) onDialog(which);
    }
    void showHelp() override {}
    void closeWindow() override { calls.push_back("close"); }
    void raiseWindow() override { calls.push_back("raise"); }
    void serveUntil(const std::function<bool()>& done) override { bridge->pumpUntil(done); }
    void setCaption(const std::string& c) override { caption = c; }
    void drawSignalArea() override { ++signalAreas; }
    void drawReadouts() override {}
    void restartFade() override { ++fadeRestarts; }
    std::int64_t backgroundFirstSample() const override { return 0; }
    bool spectrumShown() const override { return false; }
    void setSpectrumScroll(std::int64_t) override {}
    void setScrollRange(std::int64_t) override {}
    files::ImagePixels screenPixels() const override { return {}; }
};

// A prompt that also notes whether the acquisition thread was waiting, or the frame record was
// locked, while a message was on screen.
struct WatchingPrompt : testing::ScriptedPrompt {
    PumpedBridge* bridge = nullptr;
    ScopeSession* session = nullptr;
    int shownWhileThreadWaits = 0;
    int shownWhileRecordLocked = 0;
    int open = 0;       // boxes on screen now
    int mostOpen = 0;   // the most at once
    int framesOpen = 0; // frames to let arrive while a box is open, as a modal box's event loop does
    core::Answer message(const std::string& caption, const std::string& text,
                         core::MessageStyle style) override {
        ++open;
        mostOpen = std::max(mostOpen, open);
        if (framesOpen > 0 && bridge != nullptr && session != nullptr) {
            const auto until = session->frameHeader()[core::fh::FrameCounter] + framesOpen;
            bridge->pumpUntil([&] { return session->frameHeader()[core::fh::FrameCounter] >= until; });
        }
        --open;
        if (bridge != nullptr && bridge->inSynchronize()) ++shownWhileThreadWaits;
        if (session != nullptr) {
            if (session->frame().mutex.try_lock())
                session->frame().mutex.unlock();
            else
                ++shownWhileRecordLocked;
        }
        return ScriptedPrompt::message(caption, text, style);
    }
};

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("kx_session_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        ASSERT_EQ(testing::simControl("reset"), 0);
        ASSERT_EQ(testing::simControl("pacing=off;model=0x23;noise=off"), 0);
        view.bridge = &bridge;
        prompt.bridge = &bridge;
    }
    void TearDown() override {
        if (session) {
            bridge.close();
            session->shutDown();
            session.reset();
        }
        testing::simControl("reset");
        std::filesystem::remove_all(m_dir);
    }

    void start(const std::string& model = "0x0023", const std::string& system = "",
               const std::string& common = "") {
        std::ofstream(m_dir / "kx48zz.ini", std::ios::binary)
            << "[System]\r\nKX48zz_INI_FILE=1\r\nWIN_DT=" << model << "\r\n"
            << system << "[Common]\r\nRussian=0\r\nEnglish=1\r\n"
            << common;
        SessionOptions o;
        o.exePath = (m_dir / "kx48zz").string();
        o.settingsPath = (m_dir / "kx48zz.ini").string();
        o.driverLibraries = {KX_SIM_LIBRARY};
        session = std::make_unique<ScopeSession>(o, view, bridge, prompt, busy);
        prompt.session = session.get();
        session->startUp();
        ASSERT_TRUE(bridge.pumpUntil([&] { return ready(); }));
    }
    bool ready() const {
        return session->flags().DeviceReady.load() && session->flags().DeviceConfigured.load();
    }
    // Pumps until `n` more frames have been assembled.
    bool waitFrames(std::uint32_t n) {
        const auto before = session->frameHeader()[core::fh::FrameCounter];
        return bridge.pumpUntil([&] { return session->frameHeader()[core::fh::FrameCounter] >= before + n; });
    }
    // A single shot saved through Menu_Save_As; the file's path.
    std::string singleShotSaved() {
        session->scope().single(true);
        EXPECT_TRUE(bridge.pumpUntil([&] { return !session->state().scope.Running; }));
        const std::string saved = (m_dir / "shot.kxd").string();
        prompt.saved = {saved};
        session->menuItem("Menu_Save_As");
        return saved;
    }

    std::filesystem::path m_dir;
    FakeView view;
    PumpedBridge bridge;
    WatchingPrompt prompt;
    BusyFlag busy;
    std::unique_ptr<ScopeSession> session;
};

TEST_F(SessionTest, SingleShotEndsThroughTheGuiAndItsFrameIsDrawn) {
    start();
    EXPECT_FALSE(busy.busy()); // start-up is over
    session->scope().single(true);
    EXPECT_TRUE(session->state().scope.Running);
    EXPECT_TRUE(session->flags().SingleMode.load());
    ASSERT_TRUE(bridge.pumpUntil([&] { return !session->state().scope.Running; }));
    // The state, the flag the link reads and the run bit all follow the one writer.
    EXPECT_FALSE(session->state().scope.SingleMode);
    EXPECT_FALSE(session->flags().Running.load());
    EXPECT_GT(session->frameHeader()[core::fh::CaptureLength], 0u);
    EXPECT_GT(view.signalAreas, 0);
    EXPECT_EQ(view.caption.rfind("KX4823 ", 0), 0u) << view.caption;
}

// Mean of a channel's samples in 16-bit codes, and its zero line, from the frame shown.
struct ChannelMean {
    double mean = 0;
    double zero = 0;
};
ChannelMean channelMean(const core::FrameHeader& h, int channel) {
    const int sum = channel == 0 ? core::fh::SumA1 : core::fh::SumA2;
    const double count = h[core::fh::AnalogCount];
    return {count > 0 ? h.getReal(sum) / count : -1.0,
            static_cast<double>(h[channel == 0 ? core::fh::ZeroA1 : core::fh::ZeroA2])};
}

TEST_F(SessionTest, InstrumentTablesPutGroundedInputsOnTheirZeroLines) {
    ASSERT_EQ(testing::simControl("a1=ground;a2=ground"), 0);
    start();
    // The instrument's tables replace the built-in ones.
    ASSERT_TRUE(bridge.pumpUntil([&] { return session->state().calibration.ZeroTableRead; }));
    const device::StatusInfo status = session->status();
    EXPECT_EQ(session->state().calibration.ZeroTable, status.zeroTable);
    EXPECT_EQ(session->state().calibration.SystemTable, status.systemTable);
    EXPECT_TRUE(session->state().calibration.SystemTableRead);
    EXPECT_NE(session->state().calibration.ZeroTable, core::defaultZeroOffsetTable());

    session->state().scope.A2.shown = true;
    session->scope().run(true);
    struct Range {
        int index;
        std::uint32_t microVolts;
    };
    for (const Range r : {Range{1, 1000000}, Range{4, 100000}, Range{7, 10000}}) {
        session->scope().voltsDiv(0, r.index);
        session->scope().voltsDiv(1, r.index);
        const auto before = session->frameHeader()[core::fh::FrameCounter];
        ASSERT_TRUE(bridge.pumpUntil([&] {
            const core::FrameHeader h = session->frameHeader();
            return h[core::fh::FrameCounter] > before + 2 && h[core::fh::ScaleA1] == r.microVolts &&
                   h[core::fh::ScaleA2] == r.microVolts;
        })) << r.microVolts;
        const core::FrameHeader h = session->frameHeader();
        for (int channel = 0; channel < 2; ++channel) {
            const ChannelMean m = channelMean(h, channel);
            // Within a quarter of an 8-bit step.
            EXPECT_NEAR(m.mean, m.zero, 64.0) << "A" << channel + 1 << " at " << r.microVolts << " uV/div";
        }
    }
}

TEST_F(SessionTest, FirstRunAtTheDefaultsShowsTheCalibratorAsItIs) {
    start();
    session->scope().run(true);
    // The counter needs a gate of its own: wait for a frame that carries a valid reading.
    device::CounterReading counter;
    core::FrameHeader h;
    ASSERT_TRUE(bridge.pumpUntil([&] {
        h = session->frameHeader();
        counter = device::decodeCounter(h[core::fh::CounterStatus], h[core::fh::CounterEvents],
                                        h[core::fh::CounterTicks]);
        return h[core::fh::CaptureLength] > 0 && counter.frequencyValid;
    }));
    EXPECT_EQ(h[core::fh::ScaleA1], 1000000u);
    // One count per period: the ring after an edge does not cross the trigger hysteresis again.
    EXPECT_EQ(counter.channel, 0);
    EXPECT_NEAR(counter.frequencyHz, 1000.0, 1.0);

    // The 0..2 V square with its small ring, its zero line at mid-screen: no overdrive, and a
    // peak-to-peak of 2 V plus the overshoot (8192 codes per volt at 1 V/div).
    session->state().scope.A1.Zero = 0x8000;
    session->settingsChanged();
    const auto before = h[core::fh::FrameCounter];
    ASSERT_TRUE(bridge.pumpUntil([&] {
        h = session->frameHeader();
        return h[core::fh::FrameCounter] > before + 2 && h[core::fh::ZeroA1] == 0x8000;
    }));
    EXPECT_EQ(h[core::fh::OverdriveA1], 0u);
    const auto p2p = static_cast<std::int32_t>(h[core::fh::PeakToPeakA1]);
    EXPECT_GE(p2p, 2 * 8192);
    EXPECT_LE(p2p, 2 * 8192 * 112 / 100);
}

TEST_F(SessionTest, LiveFramesReplaceTheDataFileAndRestartTheFade) {
    start();
    const std::string saved = singleShotSaved();
    session->files().openDataFile(saved);
    ASSERT_TRUE(session->frame().loadedFromFile);
    ASSERT_TRUE(bridge.pumpUntil([&] { return view.caption.find("shot.kxd") != std::string::npos; }));

    session->scope().run(true);
    const int fades = view.fadeRestarts;
    ASSERT_TRUE(waitFrames(4));
    EXPECT_FALSE(session->frame().loadedFromFile);
    EXPECT_FALSE(session->names().dataFileNameKnown);
    EXPECT_EQ(view.caption.find("shot.kxd"), std::string::npos) << view.caption;
    // Every accepted frame restarts the persistence fade, not only settings changes.
    EXPECT_GE(view.fadeRestarts, fades + 3);
}

TEST_F(SessionTest, FramesCarryTheGeneratorSweep) {
    start();
    auto& g = session->state().generator;
    g.Function = core::GenFunction::Sweep;
    g.FMult = 1; // 10 kHz .. 100 kHz
    g.FStart = 1000;
    g.FSweep = 10000;
    g.On = true;
    session->scope().run(true);
    ASSERT_TRUE(waitFrames(2));
    const core::FrameHeader h = session->frameHeader();
    EXPECT_EQ(h.get64(core::fh::SweepStart), 10'000'000u); // millihertz
    EXPECT_EQ(h.get64(core::fh::SweepSpan), 90'000'000u);

    g.Function = core::GenFunction::Plain;
    session->settingsChanged();
    ASSERT_TRUE(waitFrames(2));
    EXPECT_EQ(session->frameHeader().get64(core::fh::SweepSpan), 0u);
}

TEST_F(SessionTest, ScaleFollowsTheFrontEndTheInstrumentReports) {
    // A compact instrument (TRM207 Mini) under the KX4823 interface: the question is declined.
    ASSERT_EQ(testing::simControl("model=0x35"), 0);
    prompt.answers = {core::Answer::No};
    start("0x0023");
    session->scope().run(true);
    ASSERT_TRUE(waitFrames(2));
    EXPECT_EQ(session->state().system.UiDeviceType, core::kKX4823);
    // The 1 V button's gain code read by a compact front end: 100 000 uV/div.
    EXPECT_EQ(session->frameHeader()[core::fh::ScaleA1], 100000u);
}

TEST_F(SessionTest, DebugAllowedAloneOpensTheInstrumentUnasked) {
    start("0x0023", "Debug=1\r\n", "M_DEBUG=0\r\n");
    for (const auto& shown : prompt.shown)
        EXPECT_EQ(shown.text.find("True device found."), std::string::npos);
}

TEST_F(SessionTest, DebugModeAsksBeforeOpeningTheInstrument) {
    prompt.answers = {core::Answer::Yes};
    start("0x0023", "Debug=1\r\n", "M_DEBUG=1\r\n");
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown[0].text.rfind("True device found.", 0), 0u);
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Question);
}

TEST_F(SessionTest, ModelQuestionWaitsUntilTheSynchronisedUpdateHasReturned) {
    start("0x0021");
    prompt.answers = {core::Answer::Yes};
    session->scope().run(true);
    ASSERT_TRUE(bridge.pumpUntil([&] { return session->state().system.UiDeviceType == core::kKX4823; }));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Change interface for KX4823? ");
    EXPECT_EQ(prompt.shownWhileThreadWaits, 0);
    // Yes switched the interface: the model's effects in their order.
    const auto layout = std::find(view.calls.rbegin(), view.calls.rend(), "layout");
    const auto captions = std::find(view.calls.rbegin(), view.calls.rend(), "captions");
    ASSERT_NE(layout, view.calls.rend());
    EXPECT_GT(layout - view.calls.rbegin(), captions - view.calls.rbegin()); // layout came first
    // Asked once per run.
    const auto framesNow = session->frameHeader()[core::fh::FrameCounter];
    ASSERT_TRUE(
        bridge.pumpUntil([&] { return session->frameHeader()[core::fh::FrameCounter] > framesNow + 3; }));
    EXPECT_EQ(prompt.shown.size(), 1u);
}

TEST_F(SessionTest, ModelQuestionIsAskedOnceWhileItsBoxIsOpen) {
    start("0x0021");
    prompt.framesOpen = 4;
    prompt.answers = {core::Answer::No};
    session->scope().run(true);
    ASSERT_TRUE(bridge.pumpUntil([&] { return !session->state().system.ModelCheckPending; }));
    EXPECT_EQ(prompt.mostOpen, 1);
    EXPECT_EQ(prompt.shown.size(), 1u);
}

TEST_F(SessionTest, FileMessagesComeWithoutTheRecordsLocked) {
    start();
    const std::string saved = singleShotSaved();
    ASSERT_TRUE(std::filesystem::exists(saved));
    // Saving again asks before replacing the companion settings file.
    prompt.saved = {saved};
    session->menuItem("Menu_Save_As");
    // A damaged copy: the open reports it.
    {
        std::fstream f(saved, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(40);
        f.put('\x5A');
    }
    session->files().openDataFile(saved);
    ASSERT_GE(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown.back().caption, "Open");
    EXPECT_EQ(prompt.shownWhileRecordLocked, 0);
    EXPECT_EQ(prompt.shownWhileThreadWaits, 0);
}

TEST_F(SessionTest, ExportItemsWriteTheFrameShown) {
    start();
    session->scope().single(true);
    ASSERT_TRUE(bridge.pumpUntil([&] { return !session->state().scope.Running; }));
    const std::string csv = (m_dir / "shot.csv").string();
    const std::string raw = (m_dir / "d2.bin").string();
    prompt.saved = {csv, raw};
    session->menuItem("Menu_Export_CSV");
    session->menuItem("Menu_EBin_D2");
    std::ifstream in(csv);
    std::string header;
    std::getline(in, header);
    EXPECT_NE(header.find("A1"), std::string::npos) << header;
    EXPECT_GT(std::filesystem::file_size(raw), 0u);
    EXPECT_EQ(prompt.shownWhileRecordLocked, 0);
}

// While an analyzer is on, File > Export writes its sweep as kx48zz-tool analyze does.
TEST_F(SessionTest, AnalyzerExportsWriteTheSweepShown) {
    struct Case {
        const char* bench;
        const char* item;
        const char* toggle;
        std::uint32_t mode;
        const char* file;
        const char* header;
    };
    const Case cases[] = {
        {"bench=rc:10k:1n", "Menu_Export_CSV", "Menu_NA", 1, "na.csv", "frequency_hz,gain_db,phase_deg"},
        {"bench=rlc:20:1u:100p", "Menu_Export_CSV", "Menu_AA", 2, "aa.csv",
         "frequency_hz,swr,return_loss_db,r_ohm,x_ohm,z_ohm,q,phase_deg"},
        {"bench=rlc:20:1u:100p", "Menu_Export_S1P", "Menu_AA", 2, "aa.s1p", "# Hz S RI R 50"},
    };
    start();
    auto& g = session->state().generator;
    g.FMult = 3; // 1 .. 100 MHz
    g.FStart = 1000;
    g.FSweep = 100000;
    g.On = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(testing::simControl(c.bench), 0);
        session->menuItem(c.toggle);
        session->scope().run(true);
        ASSERT_TRUE(
            bridge.pumpUntil([&] { return session->frameHeader()[core::fh::AnalyzerMode] == c.mode; }));
        // Frames carry the sweep as far as it has gone.
        const auto measured = [&] {
            std::lock_guard lock(session->frame().mutex);
            const auto& f = session->frame();
            int k = 0;
            for (std::size_t i = 0;
                 i < std::min<std::size_t>(f.header[core::fh::CaptureLength], core::kAnalyzerPoints); ++i)
                k += analyzers::hasAnalyzerData(f.points.re[i], f.points.im[i]) ? 1 : 0;
            return k;
        };
        ASSERT_TRUE(bridge.pumpUntil([&] { return measured() > 200; }));
        const std::string path = (m_dir / c.file).string();
        prompt.saved = {path};
        session->menuItem(c.item);
        std::ifstream in(path);
        std::string line;
        int lines = 0;
        bool header = false;
        std::vector<double> firsts; // the second column of the first data line
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            header = header || line == c.header;
            ++lines;
            // The measured points, not empty ones.
            EXPECT_EQ(line.find("inf"), std::string::npos) << line;
            EXPECT_EQ(line.find("nan"), std::string::npos) << line;
            if (firsts.empty() && !line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) {
                const auto sep = line.find_first_of(", ");
                firsts.push_back(std::strtod(line.c_str() + sep + 1, nullptr));
            }
        }
        EXPECT_TRUE(header);
        EXPECT_GT(lines, 100);
        ASSERT_FALSE(firsts.empty());
        if (c.mode == 1) {
            EXPECT_LT(firsts[0], -20) << "1 MHz through 10 kohm and 1 nF";
        } else if (std::string_view(c.item) == "Menu_Export_CSV") {
            EXPECT_GT(firsts[0], 2) << "SWR far below resonance";
        }
        session->menuItem(c.toggle); // off again
    }
    EXPECT_EQ(prompt.shownWhileRecordLocked, 0);
}

TEST_F(SessionTest, AnalyzerExportWithoutASweepSaysSo) {
    start();
    ASSERT_EQ(session->frameHeader()[core::fh::AnalyzerMode], 0u);
    session->menuItem("Menu_AA"); // the frame shown is still the oscilloscope's
    const std::string none = (m_dir / "none.s1p").string();
    prompt.saved = {none};
    session->menuItem("Menu_Export_S1P");
    EXPECT_FALSE(std::filesystem::exists(none));
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().caption, "Save Touchstone");
    EXPECT_EQ(prompt.shown.back().text, "No data for writing.");
}

TEST_F(SessionTest, EveryCommandItemIsInTheTreeAndEveryEnabledCommandHasAHandler) {
    const auto commands = ScopeSession::commandItems();
    for (std::string_view name : commands) EXPECT_NE(ui::findMenuEntry(name), nullptr) << name;
    // Items the menu model leaves to the window must reach a handler when they can be clicked.
    for (const ui::MenuEntry& e : ui::menuTree()) {
        if (e.name.empty() || e.kind == ui::MenuKind::Menu || e.kind == ui::MenuKind::Separator) continue;
        if (!ui::menuEnabled(e.name)) continue;
        core::InstrumentState s;
        const bool leftToTheProgram = ui::onMenuItem(s, e.name) == ui::MenuEffect::Command;
        const bool command = std::find(commands.begin(), commands.end(), e.name) != commands.end();
        if (leftToTheProgram && !command) ADD_FAILURE() << e.name << " is enabled but nothing handles it";
    }
}

TEST_F(SessionTest, TriggerSourceSnapsBackToA1OnAModelWithoutA2) {
    start();
    session->scope().triggerSource(1);
    EXPECT_EQ(session->state().trigger.Src, 1);
    session->state().system.UiDeviceType = core::kKX4820; // no A2 input
    session->apply(kModelEffects);
    session->scope().triggerSource(1);
    EXPECT_EQ(session->state().trigger.Src, 0); // "-" snaps back to A1
}

TEST_F(SessionTest, ScriptHandedOverIsCompiledQuietlyAndReachesTheInstrument) {
    start();
    const std::string script = (m_dir / "stairs.kxg").string();
    std::ofstream(script) << "loop: OUT 0\nOUT 1365\nOUT 2730\nOUT 4095\nJMP loop\n";
    session->files().dispatch(script, FileOrigin::HandOver);
    EXPECT_TRUE(prompt.shown.empty()); // quiet: the result goes to the panel's status text
    EXPECT_EQ(session->state().generator.AWG_File, script);
    EXPECT_EQ(session->state().generator.Function, core::GenFunction::Awg);
    ASSERT_TRUE(bridge.pumpUntil([&] { return session->awgLoaded(); }));
    EXPECT_FALSE(session->generator().loader().statusText().empty());
}

// Serial texts from the simulated bench, decoded by the per-frame step of the session: after the
// first idle gap in the frame every character is the text's, without an error.
TEST_F(SessionTest, SerialTextsFromTheBenchDecodeExactly) {
    struct Case {
        const char* bench;
        std::int64_t nsPerDiv;
        std::int64_t baud;
        int dataBits, parity, stopBits;
        bool txd; // the text goes to TXD on D2, else to RXD on D1
        bool inverted;
        std::string text;
    };
    const Case cases[] = {
        {"d1=uart:115200:8E1:Fast 8E1 line\\r\\n", 500'000, 115200, 8, 1, 1, false, false,
         "Fast 8E1 line\r\n"},
        {"d2=uart:9600:7O2:Slow 7O2\\r\\n:inv", 5'000'000, 9600, 7, 2, 2, true, true, "Slow 7O2\r\n"},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bench);
        ASSERT_EQ(testing::simControl("bench=default"), 0);
        ASSERT_EQ(testing::simControl(c.bench), 0);
        auto& d = session->state().decoder;
        d.Type = 1;
        d.Baud_Rate = c.baud;
        d.Data_Bits = c.dataBits;
        d.PRTY = c.parity;
        d.Stop_Bits = c.stopBits;
        d.RXD = c.txd ? 0 : 3;
        d.TXD = c.txd ? 4 : 0;
        d.RXD_Inv = 0;
        d.TXD_Inv = c.inverted ? 1 : 0;
        session->state().scope.timeBase = core::timeBaseIndexOf(c.nsPerDiv);
        session->scope().single(true);
        ASSERT_TRUE(bridge.pumpUntil([&] { return !session->state().scope.Running; }));
        // The shot may end before its frame is drawn: draw it once more.
        const int drawn = view.signalAreas;
        session->refresh();
        ASSERT_TRUE(bridge.pumpUntil([&] { return view.signalAreas > drawn; }));

        const decoders::SerialDecoder& decoder = session->decoders().decoder();
        ASSERT_TRUE(decoder.ran());
        const decoders::DecodedLine& line = c.txd ? decoder.txd() : decoder.rxd();
        EXPECT_EQ((c.txd ? decoder.rxd() : decoder.txd()).count, 0);
        const double bit = 1e12 /
                           static_cast<double>(session->frameHeader().get64(core::fh::DigitalPeriodPs)) /
                           static_cast<double>(c.baud);
        int after = 1;
        while (after < line.count && line.chars[after].first - line.chars[after - 1].last < 8 * bit) ++after;
        ASSERT_GE(line.count - after, static_cast<int>(c.text.size()));
        for (int i = after; i < line.count; ++i) {
            const auto k = static_cast<std::size_t>(i - after) % c.text.size();
            EXPECT_EQ(line.chars[i].value, static_cast<std::uint8_t>(c.text[k])) << i;
            EXPECT_EQ(line.chars[i].flags, 0u) << i;
        }
        // The listing of the dialog follows.
        ASSERT_FALSE(decoder.listing().empty());
        EXPECT_EQ(decoder.listing().front().rfind(c.txd ? "TXD (Data - " : "RXD (Data - ", 0), 0u);
    }
}

TEST_F(SessionTest, SaveWritesTheDecodedCharactersOfTheFrameOnScreen) {
    start();
    ASSERT_EQ(testing::simControl("d2=uart:115200:8N1:ab"), 0);
    auto& d = session->state().decoder;
    d.Type = 1;
    d.RXD = 0;
    d.TXD = 4;
    session->state().scope.timeBase = core::timeBaseIndexOf(500'000);
    session->scope().single(true);
    ASSERT_TRUE(bridge.pumpUntil([&] { return !session->state().scope.Running; }));
    const int drawn = view.signalAreas;
    session->refresh();
    ASSERT_TRUE(bridge.pumpUntil([&] { return view.signalAreas > drawn; }));
    ASSERT_GT(session->decoders().decoder().txd().count, 0);

    const std::string csv = (m_dir / "decoded.csv").string();
    prompt.saved = {csv};
    EXPECT_EQ(session->decoders().saveDecoded(), files::ExportStatus::Written);
    std::ifstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "Time (s),Line,Value,Char,Parity error,Framing error\r");
    int txdRows = 0;
    while (std::getline(in, line)) txdRows += line.find(",TXD,") != std::string::npos ? 1 : 0;
    EXPECT_EQ(txdRows, session->decoders().decoder().txd().count);

    // Nothing decoded: said so, nothing written.
    d.Type = 2;
    session->refresh();
    ASSERT_TRUE(bridge.pumpUntil([&] { return session->decoders().decoder().txd().count == 0; }));
    prompt.saved = {(m_dir / "none.csv").string()};
    EXPECT_EQ(session->decoders().saveDecoded(), files::ExportStatus::NoData);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "none.csv"));
    EXPECT_EQ(prompt.shown.back().text, "No data for writing.");
}

// The system calibration measures in the acquisition thread while its dialog is open: the
// converters' automatic matching on an aged unit, stepped as the dialog's timer steps it.
TEST_F(SessionTest, SystemCalibrationMatchesTheConvertersFromTheAcquisitionThread) {
    ASSERT_EQ(testing::simControl("unit=drifted;seed=7;a1=generator;a2=generator"), 0);
    start();
    CalibrationController& c = session->calibration();
    session->state().scope.SingleMode = true; // the single-shot choice outlives the dialog
    session->state().trigger.Lev_A1 = 40000.0;
    view.onDialog = [&](Dialog d) {
        ASSERT_EQ(d, Dialog::SystemCalibration);
        EXPECT_FALSE(session->state().scope.SingleMode);
        EXPECT_EQ(session->state().trigger.Lev_A1, 32768.0);
        EXPECT_TRUE(session->flags().CalibrationRunPending.load());
        c.setSystemMode(calibration::kModeAutoAdc);
        ASSERT_TRUE(bridge.pumpUntil([&] {
            c.systemTick();
            return c.systemMode() == calibration::kModeVerify1k;
        }));
        const int seen = c.systemResultCount();
        ASSERT_TRUE(bridge.pumpUntil([&] {
            c.systemTick();
            return c.systemResultCount() > seen + 1;
        }));
        for (int ch = 0; ch < 2; ++ch)
            EXPECT_TRUE(calibration::adcMatched(c.systemResults(), ch, c.systemExpected())) << ch;
        c.systemAccept();
    };
    c.systemCalibration();
    EXPECT_FALSE(session->flags().CalibrationRunPending.load());
    EXPECT_TRUE(session->state().scope.SingleMode);
    EXPECT_EQ(session->state().trigger.Lev_A1, 40000.0);
    ASSERT_TRUE(bridge.pumpUntil([&] {
        return session->status().systemTable == session->state().calibration.SystemTable;
    })) << "uploaded and sent back";
}

} // namespace
} // namespace kx::app
