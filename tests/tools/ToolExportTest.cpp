// SPDX-License-Identifier: GPL-3.0-or-later
// kx48zz-tool export writes what the export items write for a captured frame; record runs the
// binary recorder against the paced simulated instrument.
#include "ToolRunner.h"

#include "files/DataFile.h"
#include "files/ExportFrame.h"
#include "files/InterchangeExport.h"
#include "files/RawExport.h"
#include "files/TextExport.h"
#include "support/ScriptedPrompt.h"

#include <png.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace kx::tooltest;
using namespace kx;
namespace fs = std::filesystem;

class ToolExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("kx_tool_export_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string p(const char* name) const { return (m_dir / name).string(); }
    ToolRun run(const std::string& args, const char* sim = "pacing=off;seed=7") const {
        const std::string env = std::string("KX48ZZ_D2XX=") + KX_SIM_PATH + " KX48ZZ_SIM='" + sim + "' ";
        return runTool(args, p("err.txt"), env);
    }
    std::string err() const { return slurp(m_dir / "err.txt"); }

    // A captured frame, and the same frame as the program opens it.
    void capture() {
        ASSERT_EQ(run("capture --frames 2 --out " + p("f.kxd")).status, 0) << err();
        kx::testing::ScriptedPrompt prompt;
        std::vector<double> a1(16384), a2(16384), ets(16384);
        bool swap = false;
        files::DataFileRecords records{*frame, *background, swap, a1, a2, ets};
        files::DataFileNames names;
        ASSERT_EQ(files::OpenDataFile(p("f.kxd"), records, names, prompt, {}), files::DataFileStatus::Ok);
    }

    std::unique_ptr<core::FrameRecord> frame = std::make_unique<core::FrameRecord>();
    std::unique_ptr<core::FrameRecord> background = std::make_unique<core::FrameRecord>();
    fs::path m_dir;
};

TEST_F(ToolExportTest, EveryFormatAsTheItemWritesIt) {
    capture();
    const files::ChannelSet all = files::exportedChannels(frame->header, files::kAllChannels);
    ASSERT_TRUE(files::anyDigital(all));

    ASSERT_EQ(run("export " + p("f.kxd") + " --text " + p("f.txt")).status, 0) << err();
    std::string text;
    files::buildTextExport(*frame, all, '.', text);
    EXPECT_EQ(slurp(p("f.txt")), text);

    ASSERT_EQ(run("export " + p("f.kxd") + " --csv " + p("f.csv")).status, 0) << err();
    std::string csv;
    files::buildCsvExport(*frame, all, csv);
    EXPECT_EQ(slurp(p("f.csv")), csv);

    ASSERT_EQ(run("export " + p("f.kxd") + " --vcd " + p("f.vcd")).status, 0) << err();
    std::string vcd;
    files::buildVcdExport(*frame, all, vcd);
    EXPECT_EQ(slurp(p("f.vcd")), vcd);

    ASSERT_EQ(run("export " + p("f.kxd") + " --sr " + p("f.sr")).status, 0) << err();
    ASSERT_TRUE(files::writeSigrokSession(p("direct.sr"), *frame, all));
    EXPECT_EQ(slurp(p("f.sr")), slurp(p("direct.sr")));

    ASSERT_EQ(run("export " + p("f.kxd") + " --raw D3 " + p("d3.bin")).status, 0) << err();
    std::vector<std::uint8_t> raw;
    files::buildRawExport(*frame, core::Channel::D3, raw);
    EXPECT_EQ(slurp(p("d3.bin")), std::string(raw.begin(), raw.end()));
    EXPECT_EQ(slurp(p("d3.txt")), files::rawDescription(frame->header, core::Channel::D3, "d3.bin", '.'));
}

std::vector<std::uint8_t> pngPixels(const std::string& bytes, unsigned& w, unsigned& h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
    image.format = PNG_FORMAT_BGR;
    std::vector<std::uint8_t> out(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.data(), 0, nullptr)) return {};
    w = image.width;
    h = image.height;
    return out;
}

TEST_F(ToolExportTest, PictureAtTheDesignSizeInBothFormats) {
#ifndef KX_TOOL_HAS_PICTURES
    GTEST_SKIP() << "a build without the GUI libraries draws no pictures";
#endif
    capture();
    ASSERT_EQ(run("export " + p("f.kxd") + " --image " + p("shot.png")).status, 0) << err();
    ASSERT_EQ(run("export " + p("f.kxd") + " --image " + p("shot.bmp")).status, 0) << err();
    unsigned w = 0, h = 0;
    const auto png = pngPixels(slurp(p("shot.png")), w, h);
    ASSERT_EQ(w, 566u);
    ASSERT_EQ(h, 375u);
    // The BMP holds the same picture, bottom row first.
    const std::string bmp = slurp(p("shot.bmp"));
    const std::size_t row = (566 * 3 + 3) / 4 * 4;
    ASSERT_EQ(bmp.size(), 54 + row * 375);
    std::size_t differing = 0;
    for (std::size_t y = 0; y < 375; ++y)
        for (std::size_t x = 0; x < 566 * 3; ++x)
            if (static_cast<std::uint8_t>(bmp[54 + (374 - y) * row + x]) != png[y * 566 * 3 + x]) ++differing;
    EXPECT_EQ(differing, 0u);
    // The A1 trace is drawn in its green.
    std::size_t green = 0;
    for (std::size_t i = 0; i + 2 < png.size(); i += 3)
        if (png[i] == 0 && png[i + 1] == 0xFF && png[i + 2] == 0) ++green;
    EXPECT_GT(green, 300u);
}

TEST_F(ToolExportTest, BadRequestsAreRefused) {
    capture();
    EXPECT_EQ(run("export " + p("f.kxd") + " --raw Q1 " + p("q.bin")).status, 2);
    EXPECT_NE(err().find("unknown channel 'Q1'"), std::string::npos) << err();
    EXPECT_EQ(run("export " + p("f.kxd")).status, 2);
    EXPECT_EQ(run("export " + p("f.kxd") + " --text a --csv b").status, 2);
    EXPECT_EQ(run("export " + p("missing.kxd") + " --text " + p("t.txt")).status, 1);
    EXPECT_EQ(run("export " + p("f.kxd") + " --raw A2 " + p("a2.bin")).status, 1); // A2 is not in the frame
    EXPECT_NE(err().find("No data for writing."), std::string::npos) << err();
    EXPECT_EQ(run("export " + p("f.kxd") + " --text " + p("no/dir/t.txt")).status, 1);
    EXPECT_NE(err().find("Can't open file for writing."), std::string::npos) << err();
}

TEST_F(ToolExportTest, RecordWritesTheValuesAndTheirText) {
    // The paced instrument: 0.1 s/div gives 5000 samples a second.
    const ToolRun rec = run("record --seconds 2 --out " + p("rec.bin"), "seed=3");
    ASSERT_EQ(rec.status, 0) << err();
    const auto at = rec.out.find("values written: ");
    ASSERT_NE(at, std::string::npos) << rec.out;
    const unsigned long long written = std::stoull(rec.out.substr(at + 16));
    EXPECT_GT(written, 0u);
    EXPECT_EQ(fs::file_size(p("rec.bin")), 2 * written);
    const std::string text = slurp(p("rec.txt"));
    EXPECT_EQ(text.rfind("Oscilloscope recorder file = rec.bin\r\n\r\nSampling rate = 5.00 KHz\r\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("\r\nSize = " + std::to_string(2 * written) + " Bytes\r\n"), std::string::npos)
        << text;
    EXPECT_NE(rec.out.find("values lost: "), std::string::npos);

    // An existing file is not replaced behind the user's back.
    EXPECT_EQ(run("record --seconds 1 --out " + p("rec.bin"), "seed=3").status, 1);
    EXPECT_EQ(fs::file_size(p("rec.bin")), 2 * written);
}

TEST_F(ToolExportTest, RecordNeedsRollMode) {
    {
        std::ofstream(p("fast.kxs"), std::ios::binary)
            << "[System]\r\nKX48zz_KXS_FILE=1\r\n\r\n[Scope]\r\n1mS=1\r\n";
    }
    EXPECT_EQ(run("record --seconds 1 --out " + p("r.bin") + " --settings " + p("fast.kxs")).status, 1);
    EXPECT_NE(err().find("Run 0.1 .. 1000 S/Div. On A1. Disable Trigger."), std::string::npos) << err();
    EXPECT_FALSE(fs::exists(p("r.bin")));
    EXPECT_EQ(run("record --out " + p("r.bin")).status, 2);
}

} // namespace
