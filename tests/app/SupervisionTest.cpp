// SPDX-License-Identifier: GPL-3.0-or-later
// Timer1 against a scripted window: the simulated instrument is the driver, no acquisition thread
// runs, and each test puts the link into the state it needs.
#include "SupervisionFakes.h"

#include "app/Supervision.h"
#include "device/DeviceLink.h"
#include "device/DeviceOpen.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <unistd.h>

namespace kx::app {
namespace {

using core::Answer;
using core::MessageStyle;
using device::ShownStatistics;
using test::FakeHost;

class SupervisorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<std::string> libs{KX_SIM_LIBRARY};
        ASSERT_EQ(binding.load(libs), 0);
        control = binding.simulatorControl();
        ASSERT_NE(control, nullptr);
        ASSERT_EQ(control("reset; pacing=off"), 0);
        options.libraries = libs;
        options.caption = "kx48zz";
        ASSERT_EQ(device::openDevice(binding, connection, event, host, options), 0);
        connection.DeviceStatus = 0;
        host.reopen = [this] { return device::openDevice(binding, connection, event, host, options); };
    }
    void TearDown() override {
        if (connection.handle.load() != nullptr) binding.close(connection.handle.load());
        connection.opened = false;
        control("reset");
    }

    // A ready instrument whose status says all is well.
    void ready() {
        flags.DeviceReady = true;
        flags.DeviceConfigured = true;
        board.update([](device::StatusInfo& s) {
            s.supplyMillivolts = 5000;
            s.zeroTableRead = s.systemTableRead = true;
            s.flashFailure = false;
        });
    }
    void setStatus(const std::function<void(device::StatusInfo&)>& edit) { board.update(edit); }

    device::D2xxBinding binding;
    device::Connection connection;
    device::DataEvent event;
    device::OpenOptions options;
    device::RequestFlags flags;
    device::LinkStatistics stats;
    device::StatusBoard board;
    device::RegisterImageHolder registers;
    device::DeviceLink link{binding, connection, flags, stats, board, registers};
    int (*control)(const char*) = nullptr;
    FakeHost host;
    Supervisor supervisor{{binding, connection, flags, stats, board, registers, link}, host};
};

// --- the four recovery questions --------------------------------------------------------------

struct RecoveryCase {
    const char* name;
    std::function<void(SupervisorFixture&)> provoke; // on a ready instrument
    int ticks;                                       // ticks until the question
    Recovery expected;
    bool resets;
    const char *captionEn, *textEn, *captionRu, *textRu;
};

void PrintTo(const RecoveryCase& c, std::ostream* os) {
    *os << c.name;
}

class RecoveryQuestion : public SupervisorFixture,
                         public ::testing::WithParamInterface<std::tuple<RecoveryCase, bool>> {
public:
    // SupervisorFixture keeps its members protected; the cases reach them through these.
    static void unplug(SupervisorFixture& f) { static_cast<RecoveryQuestion&>(f).control("unplug"); }
    static void flash(SupervisorFixture& f) {
        static_cast<RecoveryQuestion&>(f).setStatus([](device::StatusInfo& s) { s.flashFailure = true; });
    }
    static void transfer(SupervisorFixture& f) {
        static_cast<RecoveryQuestion&>(f).link.transferFailed = true;
    }
};

const RecoveryCase kRecoveries[] = {
    {"UsbLost", RecoveryQuestion::unplug, 1, Recovery::UsbLost, false, "Warning",
     "Recover after USB connection lost.\r\nError code 1", "Предупреждение",
     "Восстановление после потери связи с устройством.\r\nКод ошибки 1"},
    {"PowerFailure", [](SupervisorFixture&) {}, 9, Recovery::PowerFailure, true, "Warning",
     "Recover after Power failure.\r\nError code 3", "Предупреждение",
     "Восстановление после сбоя питания устройства.\r\nКод ошибки 3"},
    {"FlashFailure", RecoveryQuestion::flash, 1, Recovery::FlashFailure, true, "Error",
     "Recover after FLASH memory failure.\r\nError code 4", "Ошибка",
     "Восстановление после сбоя FLASH памяти устройства.\r\nКод ошибки 4"},
    {"FpgaFailure", RecoveryQuestion::transfer, 1, Recovery::FpgaFailure, true, "Warning",
     "Recover after FPGA configuration failure.\r\nError code 2", "Предупреждение",
     "Восстановление после сбоя инициализации FPGA.\r\nКод ошибки 2"},
};

TEST_P(RecoveryQuestion, AsksAfterSavingAndResetsUnlessTheLinkIsGone) {
    const auto& [c, ru] = GetParam();
    host.ru = ru;
    ready();
    c.provoke(*this);
    for (int i = 1; i < c.ticks; ++i) ASSERT_EQ(supervisor.tick(), Recovery::None) << "tick " << i;
    EXPECT_EQ(supervisor.tick(), c.expected);

    const auto questions = host.questions();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].caption, ru ? c.captionRu : c.captionEn);
    EXPECT_EQ(questions[0].text, ru ? c.textRu : c.textEn);
    EXPECT_GE(questions[0].busyDepth, 1) << "the instance is busy while the question is open";

    const int asked = host.at(std::string("box ") + questions[0].text);
    ASSERT_GE(host.at("save"), 0);
    EXPECT_LT(host.at("save"), asked) << "settings are saved before the question";
    if (c.resets) {
        EXPECT_LT(host.at("suspend"), asked);
        EXPECT_LT(host.at("resume"), asked);
        EXPECT_LT(host.at("suspend"), host.at("resume"));
    } else {
        EXPECT_EQ(host.at("suspend"), -1) << "a lost link is not reset";
    }
    EXPECT_FALSE(flags.DeviceReady);
    if (c.expected == Recovery::PowerFailure) {
        EXPECT_EQ(stats.silence.load(), 0u);
    }
    EXPECT_EQ(host.busyDepth, 0);

    // Answered No: the instrument stays closed and nothing comes back at the next tick.
    EXPECT_EQ(connection.DeviceStatus.load(), 1);
    EXPECT_EQ(host.count("release"), 1);
    host.clear();
    EXPECT_EQ(supervisor.tick(), Recovery::None);
    EXPECT_TRUE(host.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Supervisor, RecoveryQuestion,
                         ::testing::Combine(::testing::ValuesIn(kRecoveries), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "Russian" : "English");
                         });

// --- the answer -------------------------------------------------------------------------------

using SupervisorAnswer = SupervisorFixture;

TEST_F(SupervisorAnswer, EveryAnswerForgetsTheInstrument) {
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        ready();
        // A flash failure with everything the instrument had told; all of it goes, whatever the answer.
        board.update([](device::StatusInfo& st) { st.flashFailure = true; });
        link.awgLoaded = true;
        link.transferFailed = true;
        registers.requestTableUpload(device::CalTableKind::ZeroOffset, core::defaultZeroOffsetTable());
        registers.requestTableUpload(device::CalTableKind::System, core::defaultSystemCalTable());
        host.answers = {answer};
        ASSERT_EQ(supervisor.tick(), Recovery::FlashFailure);
        EXPECT_FALSE(link.awgLoaded);
        EXPECT_FALSE(link.transferFailed);
        EXPECT_FALSE(flags.DeviceConfigured);
        const device::StatusInfo s = board.snapshot();
        EXPECT_FALSE(s.zeroTableRead);
        EXPECT_FALSE(s.systemTableRead);
        EXPECT_FALSE(s.flashFailure);
        EXPECT_FALSE(registers.uploadPending());
        EXPECT_EQ(host.count("calibration"), 1);
        EXPECT_EQ(host.count("marks"), 1);
        // The settings-changed notification ends the recovery, still under the busy mark.
        ASSERT_GE(host.at("settings"), 0);
        EXPECT_GT(host.at("settings"), host.at("calibration"));
        EXPECT_EQ(host.log.back(), "busy-");
        EXPECT_EQ(host.busyDepth, 0);
        host.clear();
        if (connection.DeviceStatus.load() != 0) {
            ASSERT_EQ(device::openDevice(binding, connection, event, host, options), 0);
        }
        connection.DeviceStatus = 0;
        flags.ReconfigureRequest = false;
        supervisor.awg().pending = AwgCompilation::None;
    }
}

TEST_F(SupervisorAnswer, YesReopensAndAsksForTheConfiguration) {
    ready();
    link.awgLoaded = true;
    board.update([](device::StatusInfo& s) { s.flashFailure = true; });
    host.answers = {Answer::Yes};
    const device::FT_HANDLE before = connection.handle.load();
    ASSERT_EQ(supervisor.tick(), Recovery::FlashFailure);

    EXPECT_EQ(host.count("reopen"), 1);
    const int reopen = host.at("reopen");
    EXPECT_EQ(host.log[static_cast<std::size_t>(reopen) - 1], "suspend")
        << "re-opened with the thread held off";
    EXPECT_EQ(host.log[static_cast<std::size_t>(reopen) + 1], "resume");
    EXPECT_EQ(connection.DeviceStatus.load(), 0);
    EXPECT_NE(connection.handle.load(), nullptr);
    EXPECT_NE(connection.handle.load(), before);
    EXPECT_TRUE(flags.ReconfigureRequest);
    EXPECT_EQ(host.count("release"), 0);
    EXPECT_EQ(host.boxes.size(), 1u) << "no error report";
    // The loaded AWG program goes back in quietly at the next tick.
    EXPECT_EQ(supervisor.awg().pending, AwgCompilation::QuietReload);
    host.clear();
    supervisor.tick();
    EXPECT_EQ(host.count("compile quiet"), 1);
    EXPECT_EQ(supervisor.awg().pending, AwgCompilation::None);
}

TEST_F(SupervisorAnswer, YesWithoutInstrumentReportsAndReleasesTheButtons) {
    struct Case {
        bool russian;
        const char* caption;
        const char* text;
    };
    for (const Case c : {Case{false, "USB Error - 2", "Device not found."},
                         Case{true, "Ошибка USB - 2", "Устройство не найдено."}}) {
        host.clear();
        host.ru = c.russian;
        ready();
        ASSERT_EQ(control("unplug"), 0);
        host.answers = {Answer::Yes};
        ASSERT_EQ(supervisor.tick(), Recovery::UsbLost);
        ASSERT_EQ(host.boxes.size(), 2u);
        EXPECT_EQ(host.boxes[1].caption, c.caption);
        EXPECT_EQ(host.boxes[1].text, c.text);
        EXPECT_EQ(host.boxes[1].style, MessageStyle::Error);
        EXPECT_EQ(connection.DeviceStatus.load(), 2);
        EXPECT_FALSE(flags.ReconfigureRequest);
        EXPECT_EQ(host.count("release"), 1);
        EXPECT_LT(host.at("release"), host.at("settings"));
        ASSERT_EQ(control("replug"), 0);
        ASSERT_EQ(device::openDevice(binding, connection, event, host, options), 0);
        connection.DeviceStatus = 0;
    }
}

TEST_F(SupervisorAnswer, NoClosesTheHandleAndDropsTheReload) {
    ready();
    link.awgLoaded = true;
    board.update([](device::StatusInfo& s) { s.flashFailure = true; });
    const device::FT_HANDLE old = connection.handle.load();
    ASSERT_EQ(supervisor.tick(), Recovery::FlashFailure);

    EXPECT_EQ(host.count("reopen"), 0);
    EXPECT_EQ(connection.DeviceStatus.load(), 1);
    EXPECT_EQ(connection.handle.load(), nullptr);
    EXPECT_FALSE(connection.opened);
    device::DWORD queued = 0;
    EXPECT_NE(binding.queueStatus(old, queued), 0u) << "the driver no longer knows the handle";
    EXPECT_EQ(host.count("release"), 1);
    EXPECT_EQ(supervisor.awg().pending, AwgCompilation::None);
    // Closed for real: the instrument opens again (a second open of a live handle is refused).
    EXPECT_EQ(device::openDevice(binding, connection, event, host, options), 0);
    host.clear();
    supervisor.tick();
    EXPECT_EQ(host.count("compile quiet"), 0);
}

// --- busy -------------------------------------------------------------------------------------

TEST_F(SupervisorFixture, NothingIsShownWhileBusyAndEverythingFollowsAfterwards) {
    ready();
    supervisor.armWarnings();
    setStatus([](device::StatusInfo& s) {
        s.supplyMillivolts = 4300;
        s.flashFailure = true;
    });
    host.busyFlag = true;
    device::LinkCounts c;
    c.dataPackets = 7;
    stats.add(c);
    flags.RedrawRequest = false;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(supervisor.tick(), Recovery::None);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(host.log.empty());
    // The bookkeeping goes on meanwhile.
    EXPECT_TRUE(flags.RedrawRequest);
    EXPECT_EQ(supervisor.shown().dataPackets, 0u) << "the second with 7 packets has been shown already";
    EXPECT_EQ(stats.silence.load(), 3u);

    host.busyFlag = false;
    EXPECT_EQ(supervisor.tick(), Recovery::FlashFailure);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].text, "Device power supply is low.\r\nCheck USB cable.");
    EXPECT_EQ(host.boxes[1].text, "Recover after FLASH memory failure.\r\nError code 4");
}

// --- warnings ---------------------------------------------------------------------------------

TEST_F(SupervisorFixture, WarningsFollowTheirConditions) {
    constexpr const char* kLow = "Device power supply is low.\r\nCheck USB cable.";
    constexpr const char* kSys = "System calibration hasn't been done or lost.";
    constexpr const char* kZero = "Zero calibration hasn't been done or lost.";
    struct Case {
        const char* name;
        std::int32_t supply;
        bool zeroRead, systemRead, flash;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"healthy", 5000, true, true, false, {}},
        {"supply just low", 4399, true, true, false, {kLow}},
        {"supply at the limit", 4400, true, true, false, {}},
        {"no tables", 5000, false, false, false, {kSys, kZero}},
        {"no zero table", 5000, false, true, false, {kZero}},
        {"no system table", 5000, true, false, false, {kSys}},
        {"everything", 3000, false, false, false, {kLow, kSys, kZero}},
        {"flash failed", 4000, false, false, true, {kLow}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.clear();
        ready();
        setStatus([&](device::StatusInfo& s) {
            s.supplyMillivolts = c.supply;
            s.zeroTableRead = c.zeroRead;
            s.systemTableRead = c.systemRead;
            s.flashFailure = c.flash;
        });
        supervisor.armWarnings();
        supervisor.tick();
        EXPECT_EQ(host.warnings(), c.expected);
        for (const auto& b : host.boxes) {
            if (b.style != MessageStyle::Warning) continue;
            EXPECT_EQ(b.caption, "Warning");
            EXPECT_EQ(b.busyDepth, 1);
        }
        EXPECT_EQ(host.busyDepth, 0);
        // Shown once per start of acquisition.
        host.clear();
        supervisor.tick();
        EXPECT_TRUE(host.warnings().empty());
        // Whatever the flash case asked, the next case starts from an open, healthy link.
        if (connection.DeviceStatus.load() != 0) {
            ASSERT_EQ(device::openDevice(binding, connection, event, host, options), 0);
            connection.DeviceStatus = 0;
        }
    }
}

TEST_F(SupervisorFixture, WarningsNeedArmingAndAReadyInstrument) {
    ready();
    setStatus([](device::StatusInfo& s) {
        s.supplyMillivolts = 4399;
        s.zeroTableRead = s.systemTableRead = false;
    });
    supervisor.tick();
    EXPECT_TRUE(host.boxes.empty()) << "not armed before RUN, SINGLE or ON";

    supervisor.armWarnings();
    flags.DeviceReady = false;
    supervisor.tick();
    EXPECT_TRUE(host.boxes.empty()) << "nothing is known without a ready instrument";

    flags.DeviceReady = true;
    supervisor.tick();
    EXPECT_EQ(host.warnings().size(), 3u) << "still armed once the instrument is ready";

    host.ru = true;
    host.clear();
    supervisor.armWarnings();
    supervisor.tick();
    ASSERT_EQ(host.boxes.size(), 3u);
    EXPECT_EQ(host.boxes[0].caption, "Предупреждение");
    EXPECT_EQ(host.boxes[0].text, "Низкое напряжение питания устройства.\r\nПроверьте USB кабель.");
    EXPECT_EQ(host.boxes[1].text, "Системная калибровка не выполнена или утеряна.");
    EXPECT_EQ(host.boxes[2].text, "Калибровка уровня нуля не выполнена или утеряна.");
}

// --- statistics and silence -------------------------------------------------------------------

TEST_F(SupervisorFixture, StatisticsShowTheLastSecondAndStartAgain) {
    device::LinkCounts c;
    c.bytesRead = 301234;
    c.maxQueue = 4096;
    c.dataPackets = 800;
    c.statusPackets = 10;
    c.crcErrors = 2;
    c.leakage = 57;
    stats.add(c);
    stats.noteQueue(9000);
    host.displayed = 25;
    supervisor.tick();
    ShownStatistics expected;
    expected.displayedFrames = 25;
    expected.dataPackets = 800;
    expected.statusPackets = 10;
    expected.crcErrors = 2;
    expected.leakage = 57;
    expected.bytesRead = 301234;
    expected.maxQueue = 9000;
    EXPECT_EQ(supervisor.shown(), expected);
    EXPECT_EQ(supervisor.shown().skipped(), 775);

    // An empty second; the frame counter is cumulative and only its growth counts.
    host.displayed = 40;
    supervisor.tick();
    ShownStatistics second;
    second.displayedFrames = 15;
    EXPECT_EQ(supervisor.shown(), second);
    EXPECT_EQ(supervisor.shown().skipped(), -15);
    EXPECT_EQ(stats.takeSecond().dataPackets, 0u);

    // The counter wraps around.
    host.displayed = 0xFFFFFFF0u;
    supervisor.tick();
    host.displayed = 5;
    supervisor.tick();
    EXPECT_EQ(supervisor.shown().displayedFrames, 21u);
}

TEST_F(SupervisorFixture, SilenceCountsReadySecondsOnly) {
    ready();
    for (std::uint32_t i = 1; i <= 4; ++i) {
        supervisor.tick();
        EXPECT_EQ(stats.silence.load(), i);
    }
    stats.silence = 0; // a status packet arrived
    for (std::uint32_t i = 1; i <= Supervisor::kSilenceLimit; ++i) {
        EXPECT_EQ(supervisor.tick(), Recovery::None);
        EXPECT_EQ(stats.silence.load(), i);
    }
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(supervisor.tick(), Recovery::PowerFailure) << "the ninth silent second";

    stats.silence = 5;
    flags.DeviceReady = false;
    supervisor.tick();
    EXPECT_EQ(stats.silence.load(), 0u);
}

// --- AWG script watch and the status countdown ------------------------------------------------

class SupervisorAwg : public SupervisorFixture {
protected:
    void SetUp() override {
        SupervisorFixture::SetUp();
        dir = std::filesystem::temp_directory_path() / ("kx_supervision_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        script = (dir / "wave.kxg").string();
        other = (dir / "other.kxg").string();
        std::ofstream(script) << "OUT 0\n";
        std::ofstream(other) << "OUT 1\n";
        host.awgPath = script;
        link.awgLoaded = true;
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        SupervisorFixture::TearDown();
    }
    void touch(const std::string& path, int seconds) {
        std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) +
                                                   std::chrono::seconds(seconds));
    }
    int compiles() const { return host.count("compile"); }

    std::filesystem::path dir;
    std::string script, other;
};

TEST_F(SupervisorAwg, AnEditedScriptIsCompiledWithMessages) {
    supervisor.tick();
    EXPECT_EQ(compiles(), 0) << "the first look only remembers";
    supervisor.tick();
    EXPECT_EQ(compiles(), 0);
    touch(script, 2);
    supervisor.tick();
    EXPECT_EQ(compiles(), 1);
    EXPECT_EQ(host.compileBusyDepth, 1) << "busy while compiling";
    EXPECT_EQ(host.busyDepth, 0);
    supervisor.tick();
    EXPECT_EQ(compiles(), 1) << "once per change";
}

TEST_F(SupervisorAwg, OnlyAChangeOfTheSameLoadedFileCounts) {
    struct Step {
        const char* what;
        std::function<void()> act;
        int compiles; // total so far
    };
    const Step steps[] = {
        {"first look", [] {}, 0},
        {"another script loaded", [&] { host.awgPath = other; }, 0},
        {"that one edited", [&] { touch(other, 3); }, 1},
        {"edited while no table is loaded",
         [&] {
             link.awgLoaded = false;
             touch(other, 3);
         },
         1},
        {"loaded again, unchanged since", [&] { link.awgLoaded = true; }, 1},
        {"removed", [&] { std::filesystem::remove(other); }, 1},
        {"back with a new time", [&] { std::ofstream(other) << "OUT 2\n"; }, 1},
        {"edited once more", [&] { touch(other, 5); }, 2},
        {"edited while busy",
         [&] {
             touch(other, 5);
             host.busyFlag = true;
         },
         2},
        {"busy over", [&] { host.busyFlag = false; }, 3},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        supervisor.tick();
        EXPECT_EQ(compiles(), s.compiles);
    }
}

TEST_F(SupervisorAwg, StatusCountdownWaitsForTheConfiguration) {
    supervisor.awg().statusCountdown = 4;
    supervisor.tick();
    EXPECT_EQ(supervisor.awg().statusCountdown, 3);
    link.configProgress = 40;
    supervisor.tick();
    EXPECT_EQ(supervisor.awg().statusCountdown, 3);
    link.configProgress = 0;
    for (const int left : {2, 1, 0, 0}) {
        supervisor.tick();
        EXPECT_EQ(supervisor.awg().statusCountdown, left);
    }
    // Busy does not stop the countdown.
    supervisor.awg().statusCountdown = 2;
    host.busyFlag = true;
    supervisor.tick();
    EXPECT_EQ(supervisor.awg().statusCountdown, 1);
}

TEST_F(SupervisorAwg, RequestsOfTheLoaderArePerformedOnce) {
    for (const auto& [request, entry] : {std::pair{AwgCompilation::FileChanged, "compile"},
                                         std::pair{AwgCompilation::QuietReload, "compile quiet"}}) {
        host.clear();
        supervisor.awg().pending = request;
        supervisor.tick();
        supervisor.tick();
        EXPECT_EQ(host.count(entry), 1);
        EXPECT_EQ(host.log.size(), 3u) << "busy+, the compilation, busy-";
    }
}

} // namespace
} // namespace kx::app
