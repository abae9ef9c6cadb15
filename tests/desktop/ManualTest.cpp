// SPDX-License-Identifier: GPL-3.0-or-later
// The manual's sources, and the PDF the build makes of them.
#include "ManualSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace kx::manual;

const fs::path kManual = fs::path(KX_SOURCE_DIR) / "docs/manual";

TEST(ManualSource, TranslationsFollowTheEnglishChapters) {
    const auto en = manualChapters(kManual, "en");
    ASSERT_GE(en.size(), 2u);
    // A Russian chapter without an English one would never be built.
    for (const auto& e : fs::directory_iterator(kManual / "ru")) {
        const bool known = fs::exists(kManual / "en" / e.path().filename());
        EXPECT_TRUE(known) << e.path().filename() << " has no English chapter";
    }
    for (const char* language : {"en", "ru"}) {
        for (const Chapter& c : manualChapters(kManual, language)) {
            const std::string text = readText(c.path);
            EXPECT_FALSE(text.empty()) << c.path;
            for (const std::string& target : imageTargets(text))
                EXPECT_TRUE(fs::is_regular_file(c.path.parent_path() / target)) << c.path << ": " << target;
        }
    }
}

TEST(ManualSource, MissingTranslationFallsBackToEnglish) {
    const fs::path root = fs::temp_directory_path() / ("kx_manual_" + std::to_string(::getpid()));
    fs::create_directories(root / "en");
    fs::create_directories(root / "ru");
    for (const char* n : {"02-b.md", "01-a.md", "notes.txt"}) std::ofstream(root / "en" / n) << "x";
    std::ofstream(root / "ru/02-b.md") << "y";
    const auto ru = manualChapters(root, "ru");
    ASSERT_EQ(ru.size(), 2u);
    EXPECT_EQ(ru[0].name, "01-a.md");
    EXPECT_FALSE(ru[0].translated);
    EXPECT_EQ(ru[0].path, root / "en/01-a.md");
    EXPECT_TRUE(ru[1].translated);
    EXPECT_EQ(ru[1].path, root / "ru/02-b.md");
    EXPECT_TRUE(manualChapters(root / "missing", "en").empty());
    fs::remove_all(root);
}

TEST(ManualSource, ImageTargetsAndVersion) {
    const std::string md = "![One](../images/en/a.png) text ![Two](b.png \"title\")\n"
                           "[a link](x.md) and ![broken\nacross lines](c.png)\n![](d.png)";
    EXPECT_EQ(imageTargets(md), (std::vector<std::string>{"../images/en/a.png", "b.png", "d.png"}));
    EXPECT_EQ(withVersion("v@VERSION@ and @VERSION@", "1.2.3"), "v1.2.3 and 1.2.3");
}

TEST(ManualPdf, BuiltWithAPagePerChapterAtLeast) {
    std::ifstream in(KX_MANUAL_PDF, std::ios::binary);
    ASSERT_TRUE(in) << KX_MANUAL_PDF;
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    std::size_t pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos;
         at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
    // The title, the contents, then each chapter from a page of its own.
    EXPECT_GE(pages, manualChapters(kManual, "en").size() + 1);
}

} // namespace
