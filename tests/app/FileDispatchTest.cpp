// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileDispatch.h"

#include "RecordingPrompt.h"
#include "app/BusyFlag.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kx;
using app::FileKind;

namespace {

struct KindCase {
    const char* path;
    FileKind commandLine; // also a second start
    FileKind drop;
};

const KindCase kKindCases[] = {
    {"/home/u/wave.kxg", FileKind::AwgScript, FileKind::AwgScript},
    {"/home/u/Setup.KxS", FileKind::Settings, FileKind::Settings},
    {"/home/u/SETUP.KXS", FileKind::Settings, FileKind::Settings},
    {"/home/u/shot.kxd", FileKind::Data, FileKind::Data},
    {"/home/u/shot.KXD", FileKind::Data, FileKind::Data},
    {"/home/u/notes.txt", FileKind::Data, FileKind::Unsupported},
    {"/home/u/noextension", FileKind::Data, FileKind::Unsupported},
    {"relative.kXg", FileKind::AwgScript, FileKind::AwgScript},
    // Only the last extension counts, and a dot in a folder name is no extension.
    {"/home/u/setup.kxs.bak", FileKind::Data, FileKind::Unsupported},
    {"/home/u/backup.kxs/shot", FileKind::Data, FileKind::Unsupported},
    {"/home/u/archive.tar.kxd", FileKind::Data, FileKind::Data},
    {"/home/u/trailing.", FileKind::Data, FileKind::Unsupported},
    {"/home/u/near.kxss", FileKind::Data, FileKind::Unsupported},
    {"/home/u/near.kx", FileKind::Data, FileKind::Unsupported},
    {"", FileKind::Unsupported, FileKind::Unsupported},
};

} // namespace

TEST(FileDispatch, KindByExtensionForEachPath) {
    for (const KindCase& c : kKindCases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(app::dispatchKind(c.path, false), c.commandLine);
        EXPECT_EQ(app::dispatchKind(c.path, true), c.drop);
    }
}

TEST(FileDispatch, UpperExtension) {
    EXPECT_EQ(app::upperExtension("/a/b.KxS"), ".KXS");
    EXPECT_EQ(app::upperExtension("/a.d/b"), "");
    EXPECT_EQ(app::upperExtension("x.Файл"), ".Файл"); // only ASCII letters change
}

TEST(FileDispatch, RefusalOfADroppedFileInBothLanguages) {
    EXPECT_EQ(app::unsupportedFileText("/home/u/notes.txt", false),
              "/home/u/notes.txt\r\nUnsupported file format.");
    EXPECT_EQ(app::unsupportedFileText("/home/u/notes.txt", true),
              "/home/u/notes.txt\r\nФормат файла не поддерживается.");

    RecordingPrompt prompt;
    app::reportUnsupportedFile(prompt, "/tmp/a.doc", false);
    app::reportUnsupportedFile(prompt, "/tmp/a.doc", true);
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].caption, "Open File");
    EXPECT_EQ(prompt.shown[0].text, "/tmp/a.doc\r\nUnsupported file format.");
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Error);
    EXPECT_EQ(prompt.shown[1].caption, "Открытие файла");
    EXPECT_EQ(prompt.shown[1].text, "/tmp/a.doc\r\nФормат файла не поддерживается.");
}

TEST(FileDispatch, InstanceNameFromTheExecutable) {
    const struct {
        const char* exe;
        const char* name;
    } cases[] = {
        {"/usr/bin/kx48zz", "kx48zz_Mutex_951413_04"},
        {"C:/Program Files/kx48zz.exe", "kx48zz_Mutex_951413_04"},
        {"./trm207", "trm207_Mutex_951413_04"},
        {"/opt/kx.v2/kx48zz-copy", "kx48zz-copy_Mutex_951413_04"},
        {"/opt/kx/kx.48zz.bin", "kx.48zz_Mutex_951413_04"},
        {"kx48zz", "kx48zz_Mutex_951413_04"},
    };
    for (const auto& c : cases) EXPECT_EQ(app::instanceName(c.exe), c.name) << c.exe;
    EXPECT_NE(app::instanceName("/usr/bin/kx48zz"), app::instanceName("/usr/bin/kx48zz_2"));
}

TEST(FileDispatch, DirectoryOfAFileForLastDir) {
    EXPECT_EQ(app::fileDirectory("/home/u/data/shot.kxd"), "/home/u/data");
    EXPECT_EQ(app::fileDirectory("/shot.kxd"), "/");
    EXPECT_EQ(app::fileDirectory("shot.kxd"), "");
    EXPECT_EQ(app::fileDirectory(""), "");
}

TEST(BusyFlag, StartsBusyAndMarksNest) {
    app::BusyFlag flag;
    EXPECT_TRUE(flag.busy()); // starting up
    flag.setBusy(false);
    EXPECT_FALSE(flag.busy());
    {
        app::BusyMark dialog(flag);
        {
            app::BusyMark fileOperation(flag);
            EXPECT_TRUE(flag.busy());
        }
        EXPECT_TRUE(flag.busy()) << "the dialog is still open";
    }
    EXPECT_FALSE(flag.busy());
}

TEST(BusyFlag, SetAndMarksAreIndependent) {
    app::BusyFlag flag;
    {
        app::BusyMark mark(flag);
        flag.setBusy(false); // end of start-up inside a marked operation
        EXPECT_TRUE(flag.busy());
    }
    EXPECT_FALSE(flag.busy());
    flag.setBusy(true);
    { app::BusyMark mark(flag); }
    EXPECT_TRUE(flag.busy());
}
