// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/AwgLoader.h"

#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace kx::generator {
namespace {

using core::GenFunction;
using core::MessageStyle;

// The program around the loader: every call is logged in order.
class FakeHost : public AwgLoaderHost {
public:
    core::Prompt& prompt() override { return dialogs; }
    void markBusy(bool on) override {
        busyDepth += on ? 1 : -1;
        log.push_back(on ? "busy+" : "busy-");
    }
    bool awgLoaded() override { return loaded; }
    void uploadAwg(std::span<const std::int32_t, kAwgWords> table, bool runAfterUpload) override {
        uploads.emplace_back(table.begin(), table.end());
        log.push_back(runAfterUpload ? "upload+run" : "upload");
    }
    void raiseAwgRun() override { log.push_back("run"); }
    void settingsChanged() override { log.push_back("settings"); }
    void setStatusCountdown(int ticks) override { countdown = ticks; }

    int count(const std::string& entry) const {
        int n = 0;
        for (const auto& e : log) n += e == entry ? 1 : 0;
        return n;
    }

    testing::ScriptedPrompt dialogs;
    bool loaded = true;
    int busyDepth = 0;
    int countdown = 0;
    std::vector<std::string> log;
    std::vector<std::vector<std::int32_t>> uploads;
};

class AwgLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir);
        state.system.RussianUi = false;
        state.system.LastDir = "/start";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string write(const std::string& name, const std::string& text) {
        const std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        return path;
    }
    std::string listingText() const {
        std::ifstream in(listing, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    const std::vector<testing::ScriptedPrompt::Shown>& boxes() const { return host.dialogs.shown; }

    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kx_awg_loader_" + std::to_string(::getpid()));
    std::string listing = (dir / "kxg.lst").string();
    core::InstrumentState state;
    FakeHost host;
    AwgLoader loader{state, host, listing};
};

constexpr const char* kStairs =
    "#CLOCK 12345\n#AMP 50\n#DC_OFFSET -200\nstart: OUT 0; OUT 2048\nloop: JMP start\n";

TEST_F(AwgLoaderTest, MenuOpensTheDialogAndCompilesWithMessages) {
    const std::string path = write("stairs.kxg", kStairs);
    host.dialogs.opened.push_back(path);
    EXPECT_TRUE(loader.openFile());

    EXPECT_EQ(host.dialogs.dialog.title, "Open AWG file");
    EXPECT_EQ(host.dialogs.dialog.filter, "AWG File (*.kxg)|*.kxg|All Files (*.*)|*.*");
    EXPECT_EQ(host.dialogs.dialog.dir, "/start");
    EXPECT_EQ(state.system.LastDir, dir.string());

    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].caption, "Open AWG File");
    EXPECT_EQ(boxes()[0].text, "stairs.kxg\r\n\r\nLines = 5\r\nCommands = 3 (0.1%)");
    EXPECT_EQ(boxes()[0].style, MessageStyle::Information);

    const core::GeneratorState& g = state.generator;
    EXPECT_EQ(g.Function, GenFunction::Awg);
    EXPECT_EQ(g.AWG_File, path);
    EXPECT_EQ(g.AwgCoarse, 1);
    EXPECT_EQ(g.AwgFine, 2345);
    EXPECT_EQ(g.Ampl, 2000);
    EXPECT_EQ(g.DC_Shift, -200);
    EXPECT_EQ(g.AwgMark, 2048) << "the first entry: no mark";

    // Busy from the dialog to the end; the run request travels with the upload.
    const std::vector<std::string> expected{"busy+", "upload+run", "settings", "busy-"};
    EXPECT_EQ(host.log, expected);
    ASSERT_EQ(host.uploads.size(), 1u);
    EXPECT_EQ(host.uploads[0][0], 0x0000);
    EXPECT_EQ(host.uploads[0][1], 0x0800);
    EXPECT_EQ(host.uploads[0][2], 0x9000);
    EXPECT_EQ(host.uploads[0][3], 0);
    EXPECT_EQ(loader.defaultPeriod(), 12345);
    EXPECT_EQ(loader.defaultAmplitude(), 50);
    EXPECT_EQ(loader.statusText(), "");

    const std::string lst = listingText();
    EXPECT_EQ(lst.rfind("-----------------------------------------\r\n" + path + "\r\n", 0), 0u) << lst;
    EXPECT_NE(lst.find("Commands = 3 (0.1%)\r\n"), std::string::npos);
}

TEST_F(AwgLoaderTest, CancelledDialogChangesNothing) {
    EXPECT_FALSE(loader.openFile());
    EXPECT_EQ(host.log, (std::vector<std::string>{"busy+", "busy-"}));
    EXPECT_EQ(state.system.LastDir, "/start");
    EXPECT_EQ(state.generator.Function, GenFunction::Plain);
    EXPECT_FALSE(std::filesystem::exists(listing));
}

TEST_F(AwgLoaderTest, UnattendedLoadShowsTheStatusText) {
    const std::string path = write("auto.kxg", "#AUTOR 0\nOUT 1\n");
    EXPECT_TRUE(loader.loadUnattended(path));
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(loader.statusText(), "Lines = 2  Commands = 1");
    EXPECT_EQ(host.countdown, kAwgStatusCountdown);
    EXPECT_EQ(host.log, (std::vector<std::string>{"upload", "settings"})) << "#AUTOR 0: no run";
    EXPECT_EQ(state.generator.AwgCoarse, 0) << "no #CLOCK: the period stays";
    EXPECT_EQ(state.generator.AwgFine, 1);
    EXPECT_EQ(loader.defaultPeriod(), -1);
    EXPECT_EQ(loader.defaultAmplitude(), -1);

    state.system.RussianUi = true;
    loader.loadUnattended(path);
    EXPECT_EQ(loader.statusText(), "Строк = 2  Команд = 1");
}

TEST_F(AwgLoaderTest, FailedCompilationChangesNeitherTheModelNorTheProgram) {
    const std::string good = write("good.kxg", "OUT 7\n");
    ASSERT_TRUE(loader.loadUnattended(good));
    const core::GeneratorState before = state.generator;
    host.log.clear();
    host.countdown = 0;

    const std::string bad = write("bad.kxg", "OUT 1\n\nOUT 4096\n");
    EXPECT_FALSE(loader.compile(bad, false));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].caption, "Open AWG File");
    EXPECT_EQ(boxes()[0].text, "Error in line 3\r\n4096 is out of range");
    EXPECT_EQ(boxes()[0].style, MessageStyle::Error);
    EXPECT_TRUE(host.log.empty()) << "no upload, no settings";
    EXPECT_EQ(state.generator.AWG_File, before.AWG_File);
    EXPECT_EQ(state.generator.AwgMark, before.AwgMark);
    EXPECT_EQ(loader.table()[0], 7) << "the loaded program stays";
    EXPECT_NE(listingText().find("Error in line 3\r\n4096 is out of range\r\n"), std::string::npos);

    // Quietly, or with "#NOMSG 2": the status text instead of the box.
    EXPECT_FALSE(loader.compile(bad, true));
    const std::string silent = write("silent.kxg", "#NOMSG 2\nSTOP\n");
    EXPECT_FALSE(loader.compile(silent, false));
    EXPECT_EQ(boxes().size(), 1u);
    EXPECT_EQ(loader.statusText(), "Error in line 2\r\nParameter is missing");
    EXPECT_EQ(host.countdown, kAwgStatusCountdown);
    EXPECT_TRUE(host.log.empty());
}

TEST_F(AwgLoaderTest, MissingFileIsReportedEvenWhenQuiet) {
    const std::string path = (dir / "gone.kxg").string();
    state.system.RussianUi = true;
    EXPECT_FALSE(loader.loadUnattended(path));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].caption, "Открытие файла генератора");
    EXPECT_EQ(boxes()[0].text, path + "\r\nФайл не найден.");
    EXPECT_EQ(boxes()[0].style, MessageStyle::Error);
    EXPECT_TRUE(host.log.empty());
    EXPECT_FALSE(std::filesystem::exists(listing));
}

TEST_F(AwgLoaderTest, EditedScriptIsCompiledAgainWithMessages) {
    const std::string path = write("edit.kxg", "OUT 1\n");
    ASSERT_TRUE(loader.loadUnattended(path));
    write("edit.kxg", "OUT 2\nOUT 3\n");
    // The supervision found the file changed: a compilation with messages.
    EXPECT_TRUE(loader.compileLoaded(false));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "edit.kxg\r\n\r\nLines = 2\r\nCommands = 2 (0.1%)");
    ASSERT_EQ(host.uploads.size(), 2u);
    EXPECT_EQ(host.uploads[1][0], 2);
    EXPECT_EQ(host.uploads[1][1], 3);

    state.generator.AWG_File.clear();
    EXPECT_FALSE(loader.compileLoaded(false)) << "no script, nothing to do";
    EXPECT_EQ(host.uploads.size(), 2u);
}

TEST_F(AwgLoaderTest, MarkListSurvivesReloadingTheSameScript) {
    const std::string path = write("marks.kxg", "start: OUT 0\nloop: OUT 1; JMP loop\n");
    ASSERT_TRUE(loader.loadUnattended(path));
    const AwgMarkList& marks = loader.marks();
    ASSERT_EQ(marks.entries.size(), 4u);
    EXPECT_EQ(marks.entries[0].text, "D1 trigger mark OFF");
    EXPECT_EQ(marks.entries[1].text, "Addr 0");
    EXPECT_EQ(marks.entries[2].text, "loop");
    EXPECT_EQ(marks.entries[2].value, 1);
    EXPECT_EQ(marks.entries[3].text, "start");

    host.log.clear();
    const std::uint32_t revision = loader.marksRevision();
    EXPECT_TRUE(loader.chooseMark(2));
    EXPECT_EQ(state.generator.AwgMark, 1);
    EXPECT_EQ(host.log, (std::vector<std::string>{"settings"}));
    EXPECT_FALSE(loader.chooseMark(2)) << "the same entry again";
    EXPECT_FALSE(loader.chooseMark(9)) << "no such entry";
    EXPECT_EQ(loader.marksRevision(), revision) << "choosing does not rebuild the list";

    // The label moved: the choice follows it by name.
    write("marks.kxg", "start: OUT 0; OUT 5; OUT 6\nloop: OUT 1; JMP loop\n");
    ASSERT_TRUE(loader.compileLoaded(false));
    EXPECT_NE(loader.marksRevision(), revision);
    EXPECT_EQ(loader.marks().chosen, 2);
    EXPECT_EQ(state.generator.AwgMark, 3);

    // The label is gone: back to the first entry.
    write("marks.kxg", "start: OUT 0\nJMP start\n");
    ASSERT_TRUE(loader.compileLoaded(true));
    EXPECT_EQ(loader.marks().chosen, 0);
    EXPECT_EQ(state.generator.AwgMark, 2048);

    // The first two entries survive by position.
    ASSERT_TRUE(loader.chooseMark(1));
    EXPECT_EQ(state.generator.AwgMark, 0);
    ASSERT_TRUE(loader.compileLoaded(true));
    EXPECT_EQ(loader.marks().chosen, 1);
    EXPECT_EQ(state.generator.AwgMark, 0);

    // Another script starts from the first entry.
    const std::string other = write("other.kxg", "start: OUT 0\n");
    ASSERT_TRUE(loader.loadUnattended(other));
    EXPECT_EQ(loader.marks().chosen, 0);
    EXPECT_EQ(state.generator.AwgMark, 2048);
}

TEST_F(AwgLoaderTest, ReloadAfterReconnectionStartsFromTheFirstMark) {
    const std::string path = write("r.kxg", "a: OUT 0\nb: OUT 1\n");
    ASSERT_TRUE(loader.loadUnattended(path));
    ASSERT_TRUE(loader.chooseMark(3));
    EXPECT_EQ(state.generator.AwgMark, 1);

    // The recovery empties the list; its quiet reload then chooses the first entry.
    const std::uint32_t revision = loader.marksRevision();
    loader.clearMarks();
    EXPECT_TRUE(loader.marks().entries.empty());
    EXPECT_NE(loader.marksRevision(), revision);
    EXPECT_EQ(state.generator.AwgMark, 2048);
    host.log.clear();
    ASSERT_TRUE(loader.compileLoaded(true));
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(loader.marks().entries.size(), 4u);
    EXPECT_EQ(loader.marks().chosen, 0);
    EXPECT_EQ(state.generator.AwgMark, 2048);
    EXPECT_EQ(host.count("upload+run"), 1);
}

TEST_F(AwgLoaderTest, RunActsOnlyWithALoadedProgram) {
    host.loaded = false;
    EXPECT_FALSE(loader.run());
    EXPECT_TRUE(host.log.empty());
    host.loaded = true;
    EXPECT_TRUE(loader.run());
    EXPECT_EQ(host.log, (std::vector<std::string>{"run", "settings"}));
}

TEST_F(AwgLoaderTest, DefaultValuesOfTheScript) {
    const std::string path = write("d.kxg", "#CLOCK 123456\n#AMP 25\nOUT 0\n");
    ASSERT_TRUE(loader.loadUnattended(path));
    state.generator.AwgCoarse = 0;
    state.generator.AwgFine = 9;
    state.generator.Ampl = 4000;
    host.log.clear();

    host.loaded = false;
    EXPECT_FALSE(loader.restoreDefaultPeriod());
    EXPECT_TRUE(boxes().empty()) << "nothing while no program is loaded";
    host.loaded = true;

    host.dialogs.answers.push_back(core::Answer::No);
    EXPECT_FALSE(loader.restoreDefaultPeriod());
    EXPECT_EQ(state.generator.AwgFine, 9);
    host.dialogs.answers.push_back(core::Answer::Yes);
    EXPECT_TRUE(loader.restoreDefaultPeriod());
    EXPECT_EQ(state.generator.AwgCoarse, 12);
    EXPECT_EQ(state.generator.AwgFine, 3456);
    host.dialogs.answers.push_back(core::Answer::Yes);
    EXPECT_TRUE(loader.restoreDefaultAmplitude());
    EXPECT_EQ(state.generator.Ampl, 1000);
    EXPECT_EQ(host.log, (std::vector<std::string>{"settings", "settings"}));
    ASSERT_EQ(boxes().size(), 3u);
    EXPECT_EQ(boxes()[0].caption, "AWG ");
    EXPECT_EQ(boxes()[0].text, "Restore default value?");
    EXPECT_EQ(boxes()[0].style, MessageStyle::Question);

    // A script without them.
    ASSERT_TRUE(loader.loadUnattended(write("n.kxg", "OUT 0\n")));
    state.system.RussianUi = true;
    EXPECT_FALSE(loader.restoreDefaultPeriod());
    EXPECT_FALSE(loader.restoreDefaultAmplitude());
    ASSERT_EQ(boxes().size(), 5u);
    EXPECT_EQ(boxes()[3].caption, "Генератор ПФ");
    EXPECT_EQ(boxes()[3].text, "Отсутствует исходное значение периода");
    EXPECT_EQ(boxes()[3].style, MessageStyle::Warning);
    EXPECT_EQ(boxes()[4].text, "Отсутствует исходное значение амплитуды");

    ASSERT_TRUE(loader.loadUnattended(path));
    host.dialogs.answers.push_back(core::Answer::No);
    loader.restoreDefaultAmplitude();
    EXPECT_EQ(boxes().back().text, "Восстановить исходное значение амплитуды?");
}

TEST(AwgReload, WantedForAnAwgSettingsFileWithAScript) {
    core::GeneratorState g;
    g.AWG_File = "/x/y.kxg";
    EXPECT_FALSE(awgReloadWanted(g));
    g.Function = GenFunction::Awg;
    EXPECT_TRUE(awgReloadWanted(g));
    g.AWG_File.clear();
    EXPECT_FALSE(awgReloadWanted(g));
}

} // namespace
} // namespace kx::generator
