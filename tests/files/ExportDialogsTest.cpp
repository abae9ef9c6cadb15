// SPDX-License-Identifier: GPL-3.0-or-later
// The export items as the user meets them: titles, filters, offered names, messages, and the
// picture in PNG or BMP by the name's extension.
#include "ExportFixture.h"

#include "files/DataFile.h"
#include "files/Exports.h"
#include "support/ScriptedPrompt.h"

#include <png.h>

#include <array>
#include <vector>

namespace kx::files::test {
namespace {

using core::Channel;
using kx::testing::ScriptedPrompt;

class ExportDialogsTest : public ExportFixture {
protected:
    ScriptedPrompt prompt;
    std::string lastDir = "/start";
    DataFileNames names;
    ExportContext context{prompt, false, lastDir, names, '.'};
};

TEST_F(ExportDialogsTest, DialogsOfferTheDataFileNameOrAStar) {
    shape(5000, 5000, 4, 0x3F);
    const std::array<std::uint32_t, 1> pixel{0xFF000000u};
    const ImagePixels screen{pixel.data(), 1, 1, 1};
    struct Case {
        const char* title;
        const char* filter;
        const char* offered;
        const char* offeredKnown;
        std::function<ExportStatus()> run;
    };
    const Case cases[] = {
        {"Save Image", "PNG File (*.png)|*.png", "*.png", "wave.png",
         [&] { return ExportImage(context, screen); }},
        {"Save Text", "Text File (*.txt)|*.txt", "*.txt", "wave.txt",
         [&] { return ExportText(context, *frame, kAllChannels); }},
        {"Save Row Binary (CH D3)", "Binary File (*.bin)|*.bin", "*.bin", "wave.bin",
         [&] { return ExportRawBinary(context, *frame, Channel::D3); }},
        {"Save CSV", "CSV File (*.csv)|*.csv", "*.csv", "wave.csv",
         [&] { return ExportCsv(context, *frame, kAllChannels); }},
        {"Save VCD", "VCD File (*.vcd)|*.vcd", "*.vcd", "wave.vcd",
         [&] { return ExportVcd(context, *frame, kAllChannels); }},
        {"Save sigrok Session", "sigrok Session (*.sr)|*.sr", "*.sr", "wave.sr",
         [&] { return ExportSigrok(context, *frame, kAllChannels); }},
    };
    for (const Case& c : cases) {
        names = {};
        EXPECT_EQ(c.run(), ExportStatus::Cancelled) << c.title;
        EXPECT_EQ(prompt.dialog.title, c.title);
        EXPECT_EQ(prompt.dialog.filter, c.filter);
        EXPECT_EQ(prompt.dialog.dir, "/start");
        EXPECT_EQ(prompt.dialog.offeredName, c.offered);
        names.dataFileName = "wave.kxd";
        names.dataFileNameKnown = true;
        c.run();
        EXPECT_EQ(prompt.dialog.offeredName, c.offeredKnown);
    }
    EXPECT_TRUE(prompt.shown.empty());

    context.russian = true;
    ExportRawBinary(context, *frame, Channel::A2);
    EXPECT_EQ(prompt.dialog.title, "Сохранение двоичного файла (канал A2)");
    EXPECT_EQ(prompt.dialog.filter, "Двоичный файл (*.bin)|*.bin");
    ExportSigrok(context, *frame, kAllChannels);
    EXPECT_EQ(prompt.dialog.title, "Сохранение сеанса sigrok");
}

TEST_F(ExportDialogsTest, NothingToWriteSaysSoBeforeAnyDialog) {
    shape(5000, 5000, 0, 0x3F); // AnalogCount 0
    EXPECT_EQ(ExportText(context, *frame, kAllChannels), ExportStatus::NoData);
    shape(5000, 5000, 4, 0x01); // only A1 in the frame
    EXPECT_EQ(ExportText(context, *frame, only({Channel::A2, Channel::D1})), ExportStatus::NoData);
    EXPECT_EQ(ExportRawBinary(context, *frame, Channel::D4), ExportStatus::NoData);
    EXPECT_EQ(ExportVcd(context, *frame, kAllChannels), ExportStatus::NoData); // no digital channel
    context.russian = true;
    EXPECT_EQ(ExportCsv(context, *frame, only({Channel::D2})), ExportStatus::NoData);
    ASSERT_EQ(prompt.shown.size(), 5u);
    EXPECT_EQ(prompt.shown[0].caption, "Save Text");
    EXPECT_EQ(prompt.shown[0].text, "No data for writing.");
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Error);
    EXPECT_EQ(prompt.shown[2].caption, "Save Row Binary (CH D4)");
    EXPECT_EQ(prompt.shown[4].caption, "Сохранение CSV");
    EXPECT_EQ(prompt.shown[4].text, "Нет данных для записи.");
    EXPECT_EQ(prompt.dialog.title, ""); // no dialog was shown
}

TEST_F(ExportDialogsTest, RawBinaryAsksBeforeReplacingItsDescription) {
    shape(5000, 5000, 2, 0x01);
    set(Channel::A1, 0, 0x8000);
    set(Channel::A1, 1, 0x8100);
    const std::string bin = path("a1"); // typed without extension
    { std::ofstream(path("a1.txt")) << "kept"; }
    prompt.saved = {bin, bin};
    prompt.answers = {core::Answer::No};
    EXPECT_EQ(ExportRawBinary(context, *frame, Channel::A1), ExportStatus::DescriptionKept);
    EXPECT_EQ(slurp(path("a1.bin")), std::string("\x00\x00\x00\x01", 4));
    EXPECT_EQ(slurp(path("a1.txt")), "kept");
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Save Text For Row Binary");
    EXPECT_EQ(prompt.shown[0].text, path("a1.txt") + "\r\nThe file already exists. Replace existing file?");
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::YesNo);
    EXPECT_EQ(lastDir, dir.string());

    prompt.answers = {core::Answer::Yes};
    EXPECT_EQ(ExportRawBinary(context, *frame, Channel::A1), ExportStatus::Written);
    EXPECT_EQ(slurp(path("a1.txt")).substr(0, 34), "Oscilloscope binary file = a1.bin\r");
}

TEST_F(ExportDialogsTest, UnwritableFileIsReported) {
    shape(5000, 5000, 2, 0x01);
    const std::string bad = path("missing/dir/out.txt");
    prompt.saved = {bad};
    context.russian = true;
    EXPECT_EQ(ExportText(context, *frame, kAllChannels), ExportStatus::CannotWrite);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Сохранение текстового файла");
    EXPECT_EQ(prompt.shown[0].text, bad + "\r\nНет доступа к файлу.");
}

// A 3 x 2 picture with a stride of 4 pixels.
constexpr std::array<std::uint32_t, 8> kPicture{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xDEADBEEFu,
                                                0xFF123456u, 0xFFFFFFFFu, 0xFF000000u, 0xDEADBEEFu};

TEST_F(ExportDialogsTest, BmpWhenTheNameEndsInBmpOtherwisePng) {
    const ImagePixels screen{kPicture.data(), 3, 2, 4};
    prompt.saved = {path("shot.BmP"), path("shot.jpg")};
    ASSERT_EQ(ExportImage(context, screen), ExportStatus::Written);
    ASSERT_EQ(ExportImage(context, screen), ExportStatus::Written);

    const std::string bmp = slurp(path("shot.BmP"));
    ASSERT_EQ(bmp.size(), 54u + 2u * 12u); // rows of 9 bytes padded to 12
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(bmp[i]));
    };
    EXPECT_EQ(byte(28), 24u); // bits per pixel
    // Bottom row first, blue green red.
    EXPECT_EQ(byte(54), 0x56u);
    EXPECT_EQ(byte(55), 0x34u);
    EXPECT_EQ(byte(56), 0x12u);
    EXPECT_EQ(byte(54 + 12), 0x00u); // top-left: red
    EXPECT_EQ(byte(54 + 12 + 2), 0xFFu);

    const std::string png = slurp(path("shot.jpg"));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size()));
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    ASSERT_EQ(image.width, 3u);
    ASSERT_EQ(image.height, 2u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::uint32_t p = kPicture[static_cast<std::size_t>(y * 4 + x)];
            const std::size_t at = static_cast<std::size_t>(y * 3 + x) * 3;
            EXPECT_EQ(rgb[at], (p >> 16) & 0xFF);
            EXPECT_EQ(rgb[at + 1], (p >> 8) & 0xFF);
            EXPECT_EQ(rgb[at + 2], p & 0xFF);
        }
}

} // namespace
} // namespace kx::files::test
