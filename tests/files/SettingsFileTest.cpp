// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SettingsFile.h"
#include "files/SettingsIni.h"
#include "files/SettingsValues.h"

#include <gtest/gtest.h>

#include <random>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/fs.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kx::files {
namespace {

struct Message {
    std::string caption;
    std::string text;
    core::MessageStyle style;
};

class ScriptedPrompt : public core::Prompt {
public:
    std::vector<Message> messages;
    core::Answer message(const std::string& caption, const std::string& text,
                         core::MessageStyle style) override {
        messages.push_back({caption, text, style});
        return core::Answer::Ok;
    }
    std::string openFile(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return {};
    }
};

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("kx_settings_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string path(const char* name) const { return (m_dir / name).string(); }
    static void writeText(const std::string& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    static std::string readText(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::filesystem::path m_dir;
    ScriptedPrompt m_prompt;
};

core::InstrumentState changedState() {
    core::InstrumentState s;
    s.scope.timeBase = 35;
    s.scope.A1.voltsDiv = 7;
    s.scope.A1.probe = 2;
    s.scope.A1.Zero = 1234;
    s.scope.A2.shown = true;
    s.scope.A2.AC = true;
    s.scope.points = 4;
    s.scope.fmMode = core::FreqMeterMode::Period;
    s.scope.fmSource = core::FreqMeterSource::Trig;
    s.scope.X_Pos = 77;
    s.display.cursors = core::CursorMode::None;
    s.display.drawMode = core::DrawModeChoice::Dots;
    s.display.CursorX2 = 4000;
    s.display.BgLaneSwap = true;
    s.display.BgTrigLevelA2 = 100.25;
    s.trigger.On = true;
    s.trigger.Src = 3;
    s.trigger.Lev_A1 = 32767.5;
    s.trigger.Mode = core::kTrigModeVideo;
    s.trigger.Extra_N = 625;
    s.generator.Shape = core::GenShape::FallingRamp;
    s.generator.Function = core::GenFunction::Plain;
    s.generator.FFast = 4321;
    s.generator.DC_Shift = -1500;
    s.fft.Win = 5;
    s.fft.View_A2 = true;
    s.decoder.Baud_Rate = 9600;
    s.decoder.Display = 2;
    s.analyzer.AaGraph3 = 6;
    s.analyzer.IqZoom = 4;
    s.system.Vel_Factor = 660;
    s.system.UiDeviceType = 0x23;
    s.system.RussianUi = false;
    s.system.Ref_Freg = 4999999.75;
    s.system.Freq_Clbr = -12;
    s.display.colors.ColorGrid = 0x123456;
    return s;
}

void expectSameSettings(const core::InstrumentState& a, const core::InstrumentState& b) {
    EXPECT_EQ(a.scope.timeBase, b.scope.timeBase);
    EXPECT_EQ(a.scope.A1.voltsDiv, b.scope.A1.voltsDiv);
    EXPECT_EQ(a.scope.A1.probe, b.scope.A1.probe);
    EXPECT_EQ(a.scope.A1.Zero, b.scope.A1.Zero);
    EXPECT_EQ(a.scope.A2.shown, b.scope.A2.shown);
    EXPECT_EQ(a.scope.A2.AC, b.scope.A2.AC);
    EXPECT_EQ(a.scope.points, b.scope.points);
    EXPECT_EQ(a.scope.fmMode, b.scope.fmMode);
    EXPECT_EQ(a.scope.fmSource, b.scope.fmSource);
    EXPECT_EQ(a.scope.X_Pos, b.scope.X_Pos);
    EXPECT_EQ(a.display.cursors, b.display.cursors);
    EXPECT_EQ(a.display.drawMode, b.display.drawMode);
    EXPECT_EQ(a.display.BgLaneSwap, b.display.BgLaneSwap);
    EXPECT_DOUBLE_EQ(a.display.BgTrigLevelA2, b.display.BgTrigLevelA2);
    EXPECT_EQ(a.trigger.On, b.trigger.On);
    EXPECT_EQ(a.trigger.Src, b.trigger.Src);
    EXPECT_DOUBLE_EQ(a.trigger.Lev_A1, b.trigger.Lev_A1);
    EXPECT_EQ(a.trigger.Mode, b.trigger.Mode);
    EXPECT_EQ(a.trigger.Extra_N, b.trigger.Extra_N);
    EXPECT_EQ(a.generator.Shape, b.generator.Shape);
    EXPECT_EQ(a.generator.Function, b.generator.Function);
    EXPECT_EQ(a.generator.FFast, b.generator.FFast);
    EXPECT_EQ(a.generator.DC_Shift, b.generator.DC_Shift);
    EXPECT_EQ(a.fft.Win, b.fft.Win);
    EXPECT_EQ(a.decoder.Baud_Rate, b.decoder.Baud_Rate);
    EXPECT_EQ(a.decoder.Display, b.decoder.Display);
    EXPECT_EQ(a.analyzer.AaGraph3, b.analyzer.AaGraph3);
    EXPECT_EQ(a.analyzer.IqZoom, b.analyzer.IqZoom);
    EXPECT_EQ(a.system.Vel_Factor, b.system.Vel_Factor);
}

TEST_F(SettingsFileTest, UserFileRoundTripKeepsProgramWideOptions) {
    const core::InstrumentState saved = changedState();
    ASSERT_TRUE(WriteSettingsFile(path("a.kxs"), SettingsKind::User, saved, {}, m_prompt));
    core::InstrumentState loaded;
    const ReadResult r = ReadSettingsFile(path("a.kxs"), SettingsKind::User, loaded, m_prompt);
    EXPECT_TRUE(r.markerFound);
    EXPECT_TRUE(m_prompt.messages.empty());
    expectSameSettings(saved, loaded);
    EXPECT_EQ(loaded.fft.View_A2, true);
    EXPECT_EQ(loaded.display.CursorX2, 4000);
    // Language, colours, calibration and the model stay as they were.
    const core::InstrumentState defaults;
    EXPECT_EQ(loaded.system.RussianUi, defaults.system.RussianUi);
    EXPECT_EQ(loaded.display.colors.ColorGrid, defaults.display.colors.ColorGrid);
    EXPECT_EQ(loaded.system.Freq_Clbr, defaults.system.Freq_Clbr);
    EXPECT_EQ(loaded.system.UiDeviceType, defaults.system.UiDeviceType);
}

TEST_F(SettingsFileTest, ProgramFileRoundTripCarriesProgramWideOptions) {
    const core::InstrumentState saved = changedState();
    ASSERT_TRUE(WriteSettingsFile(path("p.ini"), SettingsKind::Program, saved, {}, m_prompt));
    core::InstrumentState loaded;
    EXPECT_TRUE(ReadSettingsFile(path("p.ini"), SettingsKind::Program, loaded, m_prompt).markerFound);
    expectSameSettings(saved, loaded);
    EXPECT_FALSE(loaded.system.RussianUi);
    EXPECT_EQ(loaded.system.UiDeviceType, 0x23);
    EXPECT_EQ(loaded.display.colors.ColorGrid, 0x123456u);
    EXPECT_EQ(loaded.display.colors.ColorRs, loaded.display.colors.ColorA2);
    EXPECT_DOUBLE_EQ(loaded.system.Ref_Freg, 4999999.75);
    EXPECT_EQ(loaded.system.Freq_Clbr, -12);
    // Cursor positions and FFT views belong to user files only.
    EXPECT_EQ(loaded.display.CursorX2, core::InstrumentState{}.display.CursorX2);
    EXPECT_FALSE(loaded.fft.View_A2);
}

TEST_F(SettingsFileTest, WrittenTextHasCrLfAndKindMarker) {
    ASSERT_TRUE(WriteSettingsFile(path("a.kxs"), SettingsKind::User, changedState(), {}, m_prompt));
    const std::string text = readText(path("a.kxs"));
    EXPECT_EQ(
        text.rfind("[System]\r\nKX48zz_KXS_FILE=1\r\nSOFT_VER=307\r\nWIN_DT=0x0023\r\n\r\n[Common]\r\n", 0),
        0u);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
    }
    EXPECT_NE(text.find("Lev_A1=32767\r\nLev_A1_fine=500000\r\n"), std::string::npos);
    EXPECT_NE(text.find("bgLev_A2=100\r\nbgLev_A2_fine=250000\r\n"), std::string::npos);
    EXPECT_EQ(text.find("[Colors]"), std::string::npos);
    EXPECT_EQ(text.find("Russian="), std::string::npos);
}

TEST_F(SettingsFileTest, RefusedUserFilesNameTheirGeneration) {
    struct Case {
        const char* content;
        const char* en;
        const char* ru;
    };
    const Case cases[] = {
        {"[Common]\r\nExtTrig=1\r\n", "\r\nUse software version 1.xx to open.",
         "\r\nДля открытия используйте программу версии 1.xx."},
        {"[System]\r\nKX48_KXS_FILE=1\r\n[Common]\r\nExtTrig=1\r\n", "\r\nUse software version 2.xx to open.",
         "\r\nДля открытия используйте программу версии 2.xx."},
        {"[Scope]\r\n2nS=1\r\n", "\r\nInvalid file format.", "\r\nНеверный формат файла."},
    };
    for (const Case& c : cases) {
        for (const bool russian : {false, true}) {
            writeText(path("old.kxs"), c.content);
            core::InstrumentState s;
            s.system.RussianUi = russian;
            m_prompt.messages.clear();
            const ReadResult r = ReadSettingsFile(path("old.kxs"), SettingsKind::User, s, m_prompt);
            EXPECT_TRUE(r.refused);
            EXPECT_FALSE(r.markerFound);
            ASSERT_EQ(m_prompt.messages.size(), 1u);
            EXPECT_EQ(m_prompt.messages[0].caption, russian ? "Открытие файла настроек" : "Open Settings");
            EXPECT_EQ(m_prompt.messages[0].text, path("old.kxs") + (russian ? c.ru : c.en));
            EXPECT_EQ(m_prompt.messages[0].style, core::MessageStyle::Error);
            EXPECT_EQ(s.scope.timeBase, core::InstrumentState{}.scope.timeBase);
        }
    }
}

TEST_F(SettingsFileTest, ProgramFileWithoutMarkerIsReadAnyway) {
    writeText(path("p.ini"), "[Scope]\r\n2nS=1\r\n");
    core::InstrumentState s;
    const ReadResult r = ReadSettingsFile(path("p.ini"), SettingsKind::Program, s, m_prompt);
    EXPECT_FALSE(r.markerFound);
    EXPECT_FALSE(r.refused);
    EXPECT_EQ(s.scope.timeBase, 35);
    core::InstrumentState missing;
    EXPECT_FALSE(ReadSettingsFile(path("none.ini"), SettingsKind::Program, missing, m_prompt).markerFound);
    EXPECT_TRUE(m_prompt.messages.empty());
}

TEST_F(SettingsFileTest, SystemKeysAndOtherSectionsSurviveASave) {
    writeText(path("p.ini"), "[System]\r\nKX48zz_INI_FILE=1\r\nDebug=1\r\nFLOW_CTRL_OFF=1\r\n\r\n"
                             "[Scope]\r\nOld=1\r\n\r\n[Mine]\r\nx=Привет\r\n");
    ASSERT_TRUE(WriteSettingsFile(path("p.ini"), SettingsKind::User, core::InstrumentState{}, {}, m_prompt));
    SettingsIni ini;
    ASSERT_TRUE(ini.load(path("p.ini")));
    EXPECT_EQ(ini.get("System", "Debug"), "1");
    EXPECT_EQ(ini.get("System", "KX48zz_KXS_FILE"), "1");
    EXPECT_FALSE(ini.hasKey("Scope", "Old"));
    EXPECT_EQ(ini.get("Mine", "x"), "Привет");
    core::InstrumentState s;
    ReadSettingsFile(path("p.ini"), SettingsKind::Program, s, m_prompt);
    EXPECT_TRUE(s.system.DebugAllowed);
    EXPECT_TRUE(s.system.FlowCtrlOff);
}

TEST_F(SettingsFileTest, DeviceKeysOnlyWhileReady) {
    WriteContext ctx;
    ctx.device.ready = true;
    ctx.device.firmwareVersion = 12;
    ctx.device.reportedDeviceType = 0x23;
    ctx.device.serialNumber = 0x0123456789ABCDEFull;
    ctx.device.systemTableValid = true;
    ctx.device.flashFailure = true;
    ctx.device.lastValidSystemTable[0] = 0xAB;
    ASSERT_TRUE(
        WriteSettingsFile(path("p.ini"), SettingsKind::Program, core::InstrumentState{}, ctx, m_prompt));
    SettingsIni ini;
    ini.load(path("p.ini"));
    EXPECT_EQ(ini.get("System", "FIRM_VER"), "12");
    EXPECT_EQ(ini.get("System", "FPGA_DT"), "0x0023");
    EXPECT_EQ(ini.get("System", "FPGA_DNA"), "0123456789ABCDEF");
    EXPECT_EQ(ini.get("System", "ON_CNT"), "...");
    EXPECT_EQ(ini.get("System", "FLASH_HASH"), "...");
    core::InstrumentState s;
    EXPECT_TRUE(ReadSettingsFile(path("p.ini"), SettingsKind::Program, s, m_prompt).systemTableRead);
    EXPECT_EQ(s.calibration.SystemTable[0], 0xAB);

    ASSERT_TRUE(
        WriteSettingsFile(path("q.ini"), SettingsKind::Program, core::InstrumentState{}, {}, m_prompt));
    ini.load(path("q.ini"));
    EXPECT_FALSE(ini.hasKey("System", "FIRM_VER"));
}

TEST_F(SettingsFileTest, RadioGroupsLastOneWinsNoneKeepsCurrent) {
    writeText(path("r.kxs"), "[System]\r\nKX48zz_KXS_FILE=1\r\n[Scope]\r\n1mS=1\r\n2nS=1\r\n5nS=1\r\n"
                             "A1_2V=0\r\nA1_1V=0\r\n[Common]\r\nSmpl_N_2000=0\r\n");
    core::InstrumentState s;
    s.scope.A1.voltsDiv = 6;
    ReadSettingsFile(path("r.kxs"), SettingsKind::User, s, m_prompt);
    EXPECT_EQ(s.scope.timeBase, 35); // "2nS" is last in the list
    EXPECT_EQ(s.scope.A1.voltsDiv, 6);
    EXPECT_EQ(s.scope.points, 1);
}

TEST_F(SettingsFileTest, FunctionButtonsMayAllBeReleased) {
    writeText(path("g.kxs"),
              "[System]\r\nKX48zz_KXS_FILE=1\r\n[Generator]\r\nMod=0\r\nPulse=0\r\nF_Sweep=0\r\nAWG=0\r\n");
    core::InstrumentState s;
    s.generator.Function = core::GenFunction::Pulse;
    ReadSettingsFile(path("g.kxs"), SettingsKind::User, s, m_prompt);
    EXPECT_EQ(s.generator.Function, core::GenFunction::Plain);
}

TEST_F(SettingsFileTest, FineLevelsAndDeviceType) {
    writeText(path("p.ini"), "[System]\r\nKX48zz_INI_FILE=1\r\nWIN_DT=0x0023\r\n[Trigger]\r\nLev_A1=32767\r\n"
                             "Lev_A1_fine=500000\r\nLev_A2_fine=250000\r\n");
    core::InstrumentState s;
    s.trigger.Lev_A2 = 100.9;
    ReadSettingsFile(path("p.ini"), SettingsKind::Program, s, m_prompt);
    EXPECT_DOUBLE_EQ(s.trigger.Lev_A1, 32767.5);
    EXPECT_DOUBLE_EQ(s.trigger.Lev_A2, 100.25); // the current whole part, the file's fine part
    EXPECT_EQ(s.system.UiDeviceType, 0x23);

    writeText(path("p.ini"), "[System]\r\nKX48zz_INI_FILE=1\r\nWIN_DT=abc\r\n");
    s.system.UiDeviceType = 0x31;
    ReadSettingsFile(path("p.ini"), SettingsKind::Program, s, m_prompt);
    EXPECT_EQ(s.system.UiDeviceType, 0x31);
    // A user file never sets the model.
    writeText(path("u.kxs"), "[System]\r\nKX48zz_KXS_FILE=1\r\nWIN_DT=0x0020\r\n");
    ReadSettingsFile(path("u.kxs"), SettingsKind::User, s, m_prompt);
    EXPECT_EQ(s.system.UiDeviceType, 0x31);
}

TEST_F(SettingsFileTest, OutOfRangeAndMalformedValues) {
    writeText(path("m.kxs"),
              "junk before any section\r\n[System]\n KX48zz_KXS_FILE = 1 \n[Trigger]\r\n"
              "Src=99\r\nHyst=-5\r\nMode=77\r\nPre=$F\r\nno equals sign here\r\nOn=maybe\r\n"
              "[FFT]\rSize=1000000\rWin=0x7FFFFFFF\r[Decoders]\r\nBaud_Rate=0\r\nData_Bits=99999\r\n"
              "RXD=-1\r\n[Scope]\r\nA1_Zero=70000\r\n");
    core::InstrumentState s;
    s.trigger.On = true;
    const ReadResult r = ReadSettingsFile(path("m.kxs"), SettingsKind::User, s, m_prompt);
    EXPECT_TRUE(r.markerFound);
    EXPECT_EQ(s.trigger.Src, 5);
    EXPECT_EQ(s.trigger.Hyst, 0);
    EXPECT_EQ(s.trigger.Mode, core::kTrigModePulseWidth);
    EXPECT_EQ(s.trigger.Pre, 9);
    EXPECT_TRUE(s.trigger.On); // not an integer: the current value stays
    EXPECT_EQ(s.fft.Size, 6);
    EXPECT_EQ(s.fft.Win, 8);
    EXPECT_EQ(s.decoder.Baud_Rate, 2);
    EXPECT_EQ(s.decoder.Data_Bits, 32);
    EXPECT_EQ(s.decoder.RXD, 0);
    EXPECT_EQ(s.scope.A1.Zero, 65535);
}

TEST_F(SettingsFileTest, GarbageValuesKeepIndexedFieldsInRange) {
    // Keys the program knows with values of every shape; seeded, so every run reads the same files.
    const char* sections[] = {"Common", "Scope",    "Trigger", "Generator",
                              "FFT",    "Decoders", "NA_AA",   "System"};
    const char* keys[] = {
        "Src", "Hyst",    "Pre",         "Size",      "Win",         "Zoom",   "Ave",     "Scale",
        "RXD", "Display", "Data_Bits",   "Baud_Rate", "FMult",       "TMult",  "Mod_Src", "Gen_Extra_Sel",
        "2nS", "A1_2V",   "Smpl_N_2000", "Markers_2", "Lev_A1_fine", "WIN_DT", "X_Pos",   "Mode"};
    const char* values[] = {
        "-2147483648", "2147483647", "0xFFFFFFFF",           "$80000000", "1e9", "",  "=",  "-",
        "0x",          "$",          "99999999999999999999", "\xFF\xFE",  "1",   "0", "-1", "7"};
    std::mt19937 rng(1234);
    for (int file = 0; file < 50; ++file) {
        std::string text = "[System]\r\nKX48zz_KXS_FILE=1\r\n";
        for (int line = 0; line < 60; ++line) {
            if (rng() % 8 == 0) text += std::string("[") + sections[rng() % std::size(sections)] + "]\r\n";
            text +=
                std::string(keys[rng() % std::size(keys)]) + "=" + values[rng() % std::size(values)] + "\r\n";
        }
        writeText(path("g.kxs"), text);
        core::InstrumentState st;
        ReadSettingsFile(path("g.kxs"), SettingsKind::User, st, m_prompt);
        EXPECT_GE(st.trigger.Src, 0);
        EXPECT_LE(st.trigger.Src, 5);
        EXPECT_LE(st.trigger.Hyst, 9);
        EXPECT_LE(st.trigger.Pre, 9);
        EXPECT_LE(st.fft.Size, 6);
        EXPECT_LE(st.fft.Zoom, 8);
        EXPECT_GE(st.decoder.Data_Bits, 2);
        EXPECT_GE(st.decoder.Baud_Rate, 2);
        EXPECT_GE(st.generator.Mod_Src, 0);
        EXPECT_LE(st.generator.FMult, core::kFMultNoise);
        EXPECT_GE(st.scope.X_Pos, 0);
    }
}

TEST_F(SettingsFileTest, AwgFileOnlyWithAwgDownAndLoaded) {
    core::InstrumentState s;
    s.generator.Function = core::GenFunction::Awg;
    s.generator.AWG_File = "/home/u/wave.kxg";
    WriteContext ctx;
    ASSERT_TRUE(WriteSettingsFile(path("p.ini"), SettingsKind::Program, s, ctx, m_prompt));
    SettingsIni ini;
    ini.load(path("p.ini"));
    EXPECT_FALSE(ini.hasKey("Generator", "AWG_File"));
    ctx.awgLoaded = true;
    ASSERT_TRUE(WriteSettingsFile(path("p.ini"), SettingsKind::Program, s, ctx, m_prompt));
    core::InstrumentState loaded;
    EXPECT_EQ(ReadSettingsFile(path("p.ini"), SettingsKind::Program, loaded, m_prompt).awgToLoad,
              "/home/u/wave.kxg");
    // Not taken while AWG is up, nor from a user file.
    writeText(path("q.ini"), "[System]\r\nKX48zz_INI_FILE=1\r\n[Generator]\r\nAWG=0\r\nAWG_File=x.kxg\r\n");
    EXPECT_TRUE(ReadSettingsFile(path("q.ini"), SettingsKind::Program, loaded, m_prompt).awgToLoad.empty());
    ASSERT_TRUE(WriteSettingsFile(path("u.kxs"), SettingsKind::User, s, ctx, m_prompt));
    ini.load(path("u.kxs"));
    EXPECT_FALSE(ini.hasKey("Generator", "AWG_File"));
}

TEST_F(SettingsFileTest, OpenAndSaveReportInaccessibleFiles) {
    core::InstrumentState s;
    s.system.RussianUi = false;
    EXPECT_TRUE(OpenSettingsFile(path("none.kxs"), s, m_prompt).refused);
    ASSERT_EQ(m_prompt.messages.size(), 1u);
    EXPECT_EQ(m_prompt.messages[0].caption, "Open Settings");
    EXPECT_EQ(m_prompt.messages[0].text, path("none.kxs") + "\r\nFile not found.");
    const std::string bad = path("no_such_dir/a.kxs");
    EXPECT_FALSE(SaveSettingsFile(bad, s, {}, m_prompt));
    ASSERT_EQ(m_prompt.messages.size(), 2u);
    EXPECT_EQ(m_prompt.messages[1].caption, "Save Settings");
    EXPECT_EQ(m_prompt.messages[1].text, bad + "\r\nCan't open file for writing.");
    EXPECT_TRUE(SaveSettingsFile(path("a.kxs"), s, {}, m_prompt));
    EXPECT_TRUE(OpenSettingsFile(path("a.kxs"), s, m_prompt).markerFound);
}

// Files that are no settings file, handed over by name: refused with the file message instead of
// being read until memory runs out.
TEST_F(SettingsFileTest, OpenRefusesDevicesAndHugeFiles) {
    const std::string link = path("x.kxs");
    std::filesystem::create_symlink("/dev/zero", link);
    const std::string fifo = path("pipe.kxs");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = path("huge.kxs");
    writeText(huge, "[System]\r\nKX48zz_KXS_FILE=1\r\n");
    std::filesystem::resize_file(huge, SettingsIni::kMaxFileBytes + 1);
    for (const std::string& p : {std::string("/dev/zero"), link, fifo, huge}) {
        m_prompt.messages.clear();
        core::InstrumentState s;
        s.system.RussianUi = false;
        const core::InstrumentState before = s;
        EXPECT_TRUE(OpenSettingsFile(p, s, m_prompt).refused) << p;
        ASSERT_EQ(m_prompt.messages.size(), 1u) << p;
        EXPECT_EQ(m_prompt.messages[0].text, p + "\r\nFile not found.");
        EXPECT_EQ(s.scope.timeBase, before.scope.timeBase);
    }
    // Read at start-up, such a file counts as a missing one.
    core::InstrumentState s;
    m_prompt.messages.clear();
    EXPECT_FALSE(ReadSettingsFile(link, SettingsKind::Program, s, m_prompt).markerFound);
    EXPECT_TRUE(m_prompt.messages.empty());
}

// Every section header and key is found by index: a file of 40 000 sections (once 30 s) is read
// at once, and the first of repeated keys and the merged repeated sections still hold.
TEST(SettingsIniTest, ManySectionsAndKeys) {
    std::string text;
    for (int i = 0; i < 40000; ++i) text += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    text += "[s17]\nK=again\nextra=1\n";
    SettingsIni ini;
    ini.parse(text);
    EXPECT_EQ(ini.get("s39999", "K"), "39999");
    EXPECT_EQ(ini.get("S17", "k"), "17");
    EXPECT_EQ(ini.get("S17", "extra"), "1");
    EXPECT_FALSE(ini.hasSection("S40000"));
    ini.eraseSection("s0");
    EXPECT_FALSE(ini.hasSection("S0"));
    EXPECT_EQ(ini.get("S39999", "k"), "39999");
    ini.set("S1", "new", "v");
    EXPECT_EQ(ini.get("s1", "NEW"), "v");
}

// A folder that refuses new files: read-only, and for root (whom permissions do not stop)
// immutable as well. Without either the test cannot refuse anything and is skipped.
class RefusingFolder : public SettingsFileTest {
protected:
    bool refuse() {
        ::chmod(m_dir.c_str(), 0555);
        if (!canCreate()) return true;
        const int fd = ::open(m_dir.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return false;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            m_immutable = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return !canCreate();
    }
    void TearDown() override {
        if (m_immutable) {
            const int fd = ::open(m_dir.c_str(), O_RDONLY | O_DIRECTORY);
            int flags = 0;
            if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
            }
            if (fd >= 0) ::close(fd);
        }
        ::chmod(m_dir.c_str(), 0755);
        SettingsFileTest::TearDown();
    }
    bool canCreate() const {
        const std::string probe = (m_dir / "probe").string();
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0) return false;
        ::close(fd);
        ::unlink(probe.c_str());
        return true;
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_dir)) names.push_back(e.path().filename());
        return names;
    }
    bool m_immutable = false;
};

TEST_F(RefusingFolder, KeepsTheOldFileAndReportsTheFailure) {
    const std::string program = path("kx48zz.ini");
    const std::string user = path("setup.kxs");
    core::InstrumentState old;
    old.system.RussianUi = false;
    old.scope.timeBase = 12;
    ASSERT_TRUE(WriteSettingsFile(program, SettingsKind::Program, old, {}, m_prompt));
    ASSERT_TRUE(SaveSettingsFile(user, old, {}, m_prompt));
    const std::string programText = readText(program);
    const std::string userText = readText(user);
    if (!refuse()) GTEST_SKIP() << "no way to make a folder refuse new files here";

    core::InstrumentState changed = old;
    changed.scope.timeBase = 30;
    EXPECT_FALSE(WriteSettingsFile(program, SettingsKind::Program, changed, {}, m_prompt));
    ASSERT_EQ(m_prompt.messages.size(), 1u);
    EXPECT_EQ(m_prompt.messages[0].caption, "Error");
    EXPECT_EQ(m_prompt.messages[0].text, program + "\r\nCan't open file for writing.");
    EXPECT_FALSE(SaveSettingsFile(user, changed, {}, m_prompt));
    ASSERT_EQ(m_prompt.messages.size(), 2u);
    EXPECT_EQ(m_prompt.messages[1].caption, "Save Settings");
    EXPECT_EQ(m_prompt.messages[1].text, user + "\r\nCan't open file for writing.");

    EXPECT_EQ(readText(program), programText);
    EXPECT_EQ(readText(user), userText);
    EXPECT_EQ(entries().size(), 2u); // no half-written file left beside them
}

// A disk that fills up in the middle of the write (here a file size limit, which also stops
// root): the old file stays whole and the failure is reported.
TEST_F(SettingsFileTest, FullDiskKeepsTheOldFile) {
    const std::string user = path("setup.kxs");
    core::InstrumentState old;
    old.scope.timeBase = 12;
    ASSERT_TRUE(SaveSettingsFile(user, old, {}, m_prompt));
    const std::string userText = readText(user);
    ASSERT_GT(userText.size(), 1000u);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    core::InstrumentState changed = old;
    changed.scope.timeBase = 30;
    const bool saved1 = SaveSettingsFile(user, changed, {}, m_prompt);
    const bool saved2 = WriteSettingsFile(user, SettingsKind::User, changed, {}, m_prompt);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved1);
    EXPECT_FALSE(saved2);
    EXPECT_EQ(m_prompt.messages.size(), 2u);
    EXPECT_EQ(readText(user), userText);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 1);
}

TEST(SettingsValues, Forms) {
    EXPECT_EQ(parseInteger("-12"), -12);
    EXPECT_EQ(parseInteger("0x1F"), 31);
    EXPECT_EQ(parseInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(parseInteger("99999999999"), std::nullopt);
    EXPECT_EQ(parseInteger("1.5"), std::nullopt);
    EXPECT_EQ(parseInteger(""), std::nullopt);
    EXPECT_EQ(parseFloat("5000000,25"), 5000000.25);
    EXPECT_EQ(parseFloat("nan"), std::nullopt);
    EXPECT_EQ(formatDeviceType(0x35), "0x0035");
    const std::uint8_t bytes[] = {0x00, 0xAB, 0x7F};
    EXPECT_EQ(formatBinary(bytes), "00AB7F");
    EXPECT_EQ(parseBinary("00ab7F"), (std::vector<std::uint8_t>{0x00, 0xAB, 0x7F}));
    EXPECT_EQ(parseBinary("0"), std::nullopt);
    EXPECT_EQ(splitLevel(100.25).whole, 100);
    EXPECT_EQ(splitLevel(100.25).fine, 250000);
    EXPECT_EQ(splitLevel(-3.5).whole, -3);
    EXPECT_EQ(splitLevel(-3.5).fine, -500000);
    EXPECT_DOUBLE_EQ(joinLevel(-3, -500000), -3.5);
}

TEST(SettingsIniTest, KeepsOrderAndUtf8AndRewritesWithCrLf) {
    SettingsIni ini;
    ini.parse("\xEF\xBB\xBF[A]\nk=Значение\nK2=2\n[b]\r\nx=1");
    EXPECT_EQ(ini.get("a", "K"), "Значение");
    ini.set("B", "y", "line\r\nbreak");
    EXPECT_EQ(ini.serialize(), "[A]\r\nk=Значение\r\nK2=2\r\n\r\n[b]\r\nx=1\r\ny=line  break\r\n\r\n");
}

TEST(ProgramSettingsPath, BesideExecutableOrConfigFolder) {
    EXPECT_EQ(programSettingsPathFor("/opt/kx/kx48zz", true, nullptr, "/home/u"), "/opt/kx/kx48zz.ini");
    EXPECT_EQ(programSettingsPathFor("/usr/bin/kx48zz", false, nullptr, "/home/u"),
              "/home/u/.config/kx48zz/kx48zz.ini");
    EXPECT_EQ(programSettingsPathFor("/usr/bin/kx48zz", false, "/xdg", "/home/u"), "/xdg/kx48zz/kx48zz.ini");
    // A relative XDG_CONFIG_HOME is ignored; the file keeps the executable's own name.
    EXPECT_EQ(programSettingsPathFor("/usr/bin/trm207", false, "xdg", "/home/u"),
              "/home/u/.config/kx48zz/trm207.ini");
    EXPECT_FALSE(programSettingsPath().empty());
}

} // namespace
} // namespace kx::files
