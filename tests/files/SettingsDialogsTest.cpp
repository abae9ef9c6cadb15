// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs of "Open Settings..." and "Save Settings...".
#include "files/SettingsDialogs.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

namespace kx::files {
namespace {

using kx::testing::ScriptedPrompt;

TEST(SettingsDialogs, SaveOffersTheDataFileNameAndAddsTheExtension) {
    ScriptedPrompt p;
    std::string lastDir = "/data";
    p.saved = {"/tmp/setup"};
    EXPECT_EQ(chooseSaveSettingsFile(p, false, lastDir, "run1.kxd"), "/tmp/setup.kxs");
    EXPECT_EQ(p.dialog.title, "Save Settings");
    EXPECT_EQ(p.dialog.filter, "Settings File (*.kxs)|*.kxs");
    EXPECT_EQ(p.dialog.dir, "/data");
    EXPECT_EQ(p.dialog.offeredName, "run1.kxs");
    EXPECT_EQ(lastDir, "/tmp");

    // No data file name known; cancelled: nothing changes.
    EXPECT_EQ(chooseSaveSettingsFile(p, true, lastDir, ""), "");
    EXPECT_EQ(p.dialog.title, "Сохранение файла настроек");
    EXPECT_EQ(p.dialog.offeredName, "*.kxs");
    EXPECT_EQ(lastDir, "/tmp");
}

TEST(SettingsDialogs, OpenTakesTheChosenFile) {
    ScriptedPrompt p;
    std::string lastDir = "/data";
    p.opened = {"/home/u/bench.kxs", "/nonexistent/dir/plain"};
    EXPECT_EQ(chooseOpenSettingsFile(p, false, lastDir), "/home/u/bench.kxs");
    EXPECT_EQ(p.dialog.title, "Open Settings");
    EXPECT_EQ(p.dialog.filter, "Settings File (*.kxs)|*.kxs|All Files (*.*)|*.*");
    EXPECT_EQ(lastDir, "/home/u");
    // A name typed without an extension, of no existing file, means the settings file.
    EXPECT_EQ(chooseOpenSettingsFile(p, true, lastDir), "/nonexistent/dir/plain.kxs");
    EXPECT_EQ(p.dialog.title, "Открытие настроек");
    EXPECT_EQ(lastDir, "/nonexistent/dir");
}

} // namespace
} // namespace kx::files
