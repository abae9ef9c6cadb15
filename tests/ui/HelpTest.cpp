// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Help.h"
#include "UrlRecorder.h"
#include "core/DeviceModel.h"
#include "core/ProgramPaths.h"

#include <QDesktopServices>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace kx;

namespace {

struct RecordingPrompt : core::Prompt {
    struct Shown {
        std::string caption, text;
        core::MessageStyle style;
    };
    std::vector<Shown> shown;
    core::Answer message(const std::string& caption, const std::string& text,
                         core::MessageStyle style) override {
        shown.push_back({caption, text, style});
        return core::Answer::Ok;
    }
    std::string openFile(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return {};
    }
};

// Catches what would go to the desktop's viewer, and works in a folder of its own.
class HelpOpen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_oldCwd = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        QDesktopServices::setUrlHandler("file", &m_viewer, "open");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler("file");
        QDir::setCurrent(m_oldCwd);
    }
    std::string path(const char* name) const { return (m_dir.path() + "/" + name).toStdString(); }
    static void touch(const std::string& p) { std::ofstream(p) << "%PDF-1.4\n"; }

    QTemporaryDir m_dir;
    QString m_oldCwd;
    UrlRecorder m_viewer;
};

} // namespace

TEST(HelpDocument, PathByDeviceType) {
    struct Case {
        std::int32_t type;
        const char* exe;
        const char* document;
    };
    const Case cases[] = {
        {core::kTRM207, "/opt/kx48zz/kx48zz", "Trm207.pdf"},
        {core::kTRM207Mini, "/opt/kx48zz/kx48zz", "Trm207_Mini.pdf"},
        {core::kKX4821, "/opt/kx48zz/kx48zz", "/opt/kx48zz/kx48zz.pdf"},
        {core::kKX4823, "/home/u/scope.v2/kx48zz", "/home/u/scope.v2/kx48zz.pdf"},
        {core::kKX4820, "/home/u/bin/TRM207.exe", "/home/u/bin/TRM207.pdf"},
        {0x07, "kx48zz", "kx48zz.pdf"},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::helpDocumentPath(c.type, c.exe), c.document) << c.exe;
}

TEST(HelpDocument, NotFoundMessage) {
    const auto en = ui::helpNotFoundMessage("/opt/kx48zz/kx48zz.pdf", false);
    EXPECT_EQ(en.caption, "Open Help File");
    EXPECT_EQ(en.text, "/opt/kx48zz/kx48zz.pdf\r\nFile not found.");
    const auto ru = ui::helpNotFoundMessage("Trm207.pdf", true);
    EXPECT_EQ(ru.caption, "Открытие файла справки");
    EXPECT_EQ(ru.text, "Trm207.pdf\r\nФайл не найден.");
}

TEST_F(HelpOpen, MissingDocumentGivesTheMessageWithItsFullPath) {
    const std::string exe = path("kx48zz");
    const auto message = ui::openHelp(core::kKX4821, exe, false);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->text, exe + ".pdf\r\nFile not found.");
    EXPECT_TRUE(m_viewer.urls.empty());

    RecordingPrompt prompt;
    ui::openHelp(core::kTRM207, exe, true, prompt);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Открытие файла справки");
    EXPECT_EQ(prompt.shown[0].text, "Trm207.pdf\r\nФайл не найден.");
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Error);

    // A folder of that name is no document either.
    QDir(m_dir.path()).mkdir("kx48zz.pdf");
    EXPECT_TRUE(ui::openHelp(core::kKX4821, exe, false).has_value());
    EXPECT_TRUE(m_viewer.urls.empty());
}

TEST_F(HelpOpen, ExistingDocumentGoesToTheViewer) {
    const std::string exe = path("kx48zz");
    touch(exe + ".pdf");
    EXPECT_FALSE(ui::openHelp(core::kKX4823, exe, false).has_value());
    // The TRM manuals are looked up in the current folder.
    touch(path("Trm207_Mini.pdf"));
    RecordingPrompt prompt;
    ui::openHelp(core::kTRM207Mini, "/nowhere/kx48zz", false, prompt);
    EXPECT_TRUE(prompt.shown.empty());

    ASSERT_EQ(m_viewer.urls.size(), 2u);
    EXPECT_EQ(m_viewer.urls[0], QUrl::fromLocalFile(QString::fromStdString(exe + ".pdf")));
    EXPECT_EQ(m_viewer.urls[1].toLocalFile(), QDir(m_dir.path()).absoluteFilePath("Trm207_Mini.pdf"));
}

// An unpacked package: bin/ and the documentation folder under one prefix, no build tree.
TEST_F(HelpOpen, InstalledProgramFindsItsManualInTheDocumentationFolder) {
    const std::string exe = path("usr/bin/kx48zz");
    QDir(m_dir.path()).mkpath("usr/bin");
    const std::filesystem::path docDir = core::programLayout(exe).docDir();
    const std::string installed = (docDir / "kx48zz.pdf").string();

    // Neither there nor a documentation folder: the name beside the program is reported.
    EXPECT_EQ(ui::helpDocumentToOpen(core::kKX4823, exe), exe + ".pdf");
    // The package is there but its manual is not: that one is reported missing.
    std::filesystem::create_directories(docDir);
    EXPECT_EQ(ui::helpDocumentToOpen(core::kKX4823, exe), installed);
    touch(installed);
    EXPECT_FALSE(ui::openHelp(core::kKX4823, exe, false).has_value());
    // A manual beside the program wins, as in a build tree.
    touch(exe + ".pdf");
    EXPECT_EQ(ui::helpDocumentToOpen(core::kKX4823, exe), exe + ".pdf");
    // The TRM manuals keep their own names in the current folder.
    EXPECT_EQ(ui::helpDocumentToOpen(core::kTRM207, exe), "Trm207.pdf");

    ASSERT_EQ(m_viewer.urls.size(), 1u);
    EXPECT_EQ(m_viewer.urls[0].toLocalFile().toStdString(), installed);
}

TEST_F(HelpOpen, NoViewerOnTheDesktopIsSaid) {
    // Without a handler the offscreen platform opens nothing, as a desktop without a PDF program.
    QDesktopServices::unsetUrlHandler("file");
    const std::string exe = path("kx48zz");
    touch(exe + ".pdf");
    const auto message = ui::openHelp(core::kKX4823, exe, false);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->caption, "Open Help File");
    EXPECT_NE(message->text.find("kx48zz.pdf\r\nNo program to show PDF files was found."), std::string::npos)
        << message->text;
}
