// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileArrival.h"

#include "RecordingPrompt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kx;

namespace {

// The window's openers, reduced to a log; each also notes whether the instance was busy meanwhile.
class FileArrivalTest : public ::testing::Test {
protected:
    FileArrivalTest() {
        busy.setBusy(false);
        auto record = [this](const char* kind) {
            return [this, kind](const std::string& path) {
                opened.push_back(std::string(kind) + " " + path);
                busyWhileOpening.push_back(busy.busy());
            };
        };
        open = {record("awg"), record("settings"), record("data")};
    }

    app::BusyFlag busy;
    app::FileOpeners open;
    RecordingPrompt prompt;
    std::string lastDir = "/opt/kx";
    std::vector<std::string> opened;
    std::vector<bool> busyWhileOpening;
};

} // namespace

TEST_F(FileArrivalTest, IdleInstanceOpensByKindAndRemembersTheFolder) {
    const struct {
        const char* path;
        bool fromDrop;
        const char* opened;
    } cases[] = {
        {"/home/u/a/Setup.KxS", true, "settings /home/u/a/Setup.KxS"},
        {"/home/u/b/wave.KXG", false, "awg /home/u/b/wave.KXG"},
        {"/home/u/c/shot.kxd", true, "data /home/u/c/shot.kxd"},
        {"/home/u/d/notes.txt", false, "data /home/u/d/notes.txt"}, // the data opener reports it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        opened.clear();
        busyWhileOpening.clear();
        EXPECT_TRUE(app::openArrivedFile(c.path, c.fromDrop, busy, open, prompt, false, lastDir));
        EXPECT_EQ(opened, std::vector<std::string>{c.opened});
        EXPECT_EQ(busyWhileOpening, std::vector<bool>{true});
        EXPECT_FALSE(busy.busy());
        EXPECT_EQ(lastDir, app::fileDirectory(c.path));
    }
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(FileArrivalTest, DropOfAnotherKindIsRefusedButTheFolderIsKept) {
    EXPECT_TRUE(app::openArrivedFile("/home/u/e/notes.txt", true, busy, open, prompt, true, lastDir));
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Открытие файла");
    EXPECT_EQ(prompt.shown[0].text, "/home/u/e/notes.txt\r\nФормат файла не поддерживается.");
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Error);
    EXPECT_EQ(lastDir, "/home/u/e");
    EXPECT_FALSE(busy.busy());
}

TEST_F(FileArrivalTest, NothingHappensWhileBusyOrWithoutAName) {
    {
        const app::BusyMark dialog(busy);
        EXPECT_FALSE(app::openArrivedFile("/home/u/f/setup.kxs", true, busy, open, prompt, false, lastDir));
        EXPECT_FALSE(app::openArrivedFile("/home/u/f/notes.txt", true, busy, open, prompt, false, lastDir));
    }
    EXPECT_FALSE(app::openArrivedFile("", true, busy, open, prompt, false, lastDir));
    EXPECT_FALSE(app::openArrivedFile("", false, busy, open, prompt, false, lastDir));
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(lastDir, "/opt/kx");
}

TEST_F(FileArrivalTest, NameWithoutFolderLeavesLastDir) {
    EXPECT_TRUE(app::openArrivedFile("shot.kxd", false, busy, open, prompt, false, lastDir));
    EXPECT_EQ(opened, std::vector<std::string>{"data shot.kxd"});
    EXPECT_EQ(lastDir, "/opt/kx");
}

TEST_F(FileArrivalTest, CommandLineFileOpensDuringStartUp) {
    busy.setBusy(true); // the instance is still starting
    EXPECT_EQ(app::dispatchFile("/home/u/g/Setup.KXS", false, open, prompt, false), app::FileKind::Settings);
    EXPECT_EQ(app::dispatchFile("/home/u/g/readme", false, open, prompt, false), app::FileKind::Data);
    EXPECT_EQ(opened, (std::vector<std::string>{"settings /home/u/g/Setup.KXS", "data /home/u/g/readme"}));
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(FileArrivalTest, MissingOpenerIsSkipped) {
    open.awgScript = nullptr;
    EXPECT_TRUE(app::openArrivedFile("/home/u/h/wave.kxg", true, busy, open, prompt, false, lastDir));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(lastDir, "/home/u/h");
}
