// SPDX-License-Identifier: GPL-3.0-or-later
// The binary recorder's file, counters and dialog logic.
#include "files/RecorderDialog.h"
#include "files/RecorderFile.h"

#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace kx::files {
namespace {

using core::Answer;
using kx::testing::ScriptedPrompt;
namespace fh = core::fh;
namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RecorderCounters, DigitGroupsAndDuration) {
    struct Case {
        std::uint64_t n;
        const char* text;
    };
    for (const Case& c : {Case{0, "0"}, Case{200, "200"}, Case{999, "999"}, Case{2000, "2 000"},
                          Case{1'000'000, "1 000 000"}, Case{1'234'567'890, "1 234 567 890"}})
        EXPECT_EQ(groupedDigits(c.n), c.text);
    EXPECT_EQ(recorderDuration(0), "0  0:00:00");
    EXPECT_EQ(recorderDuration(600.4), "0  0:10:00");
    EXPECT_EQ(recorderDuration(2 * 86400 + 3 * 3600 + 4 * 60 + 5), "2  3:04:05");
}

class FakeClock : public RecorderClock {
public:
    TimePoint t{std::chrono::seconds(1'700'000'000)};
    TimePoint now() override { return t; }
    std::string dateTime(TimePoint p) override {
        return "at " +
               std::to_string(std::chrono::duration_cast<std::chrono::seconds>(p.time_since_epoch()).count());
    }
};

class RecorderDialogTest : public ::testing::Test {
protected:
    fs::path dir;
    std::string lastDir;
    BinaryRecorder recorder;
    ScriptedPrompt prompt;
    FakeClock clock;
    core::FrameHeader header;
    int changes = 0;
    RecorderDialog dialog{recorder, prompt, clock, [this] { return header; }, [this] { ++changes; }};

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("kx_recorder_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        lastDir = dir.string();
        // 0.1 s/div with 5000 points: 200 us per sample.
        header.set64(fh::SamplePeriodPs, 200'000'000);
        header[fh::ScaleA1] = 1'000'000;
        header[fh::ZeroA1] = 0xA000;
    }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(RecorderDialogTest, OpeningShowsWhatARecordingWillBe) {
    dialog.open(false, lastDir);
    EXPECT_EQ(dialog.fileName(), (dir / "recorder.bin").string());
    EXPECT_EQ(dialog.info(),
              (std::vector<std::string>{"Sampling rate = 5.00 KHz", "Peak detector off, bytes per sample = 2",
                                        "Data format = Signed 16 bit LSB First",
                                        "Write speed = 34.332275 MBytes/hour", "", "Time step = 200.0 uS",
                                        "Voltage step = 122.0703 uV", "Zero level = 8192", ""}));
    EXPECT_EQ(dialog.sizeLabel(), "Size = ...");
    EXPECT_TRUE(dialog.buttons().start);
    EXPECT_FALSE(dialog.buttons().stop);

    // The peak detector doubles the write speed.
    header[fh::PeakDetect] = 1;
    dialog.open(true, lastDir, ',');
    EXPECT_EQ(dialog.info()[1], "Пиковый детектор включен, байтов на выборку = 4");
    EXPECT_EQ(dialog.info()[3], "Скорость записи = 68,664551 МБайт/час");
    EXPECT_EQ(dialog.sizeLabel(), "Записано = ...");

    header = {};
    dialog.open(false, lastDir);
    EXPECT_EQ(dialog.info(), (std::vector<std::string>{"Not ready.", ""}));
    EXPECT_FALSE(dialog.buttons().start);
}

TEST_F(RecorderDialogTest, FileButtonChoosesWithoutAsking) {
    dialog.open(false, lastDir);
    std::string elsewhere = "/";
    prompt.saved = {(dir / "long").string()};
    dialog.chooseFile(elsewhere);
    EXPECT_EQ(prompt.dialog.title, "Recorder File");
    EXPECT_EQ(prompt.dialog.filter, "Recorder File (*.bin)|*.bin");
    EXPECT_EQ(prompt.dialog.offeredName, "*.bin");
    EXPECT_EQ(dialog.fileName(), (dir / "long.bin").string());
    EXPECT_EQ(elsewhere, dir.string());
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(RecorderDialogTest, RecordingFromStartToStop) {
    const fs::path bin = dir / "recorder.bin";
    { std::ofstream(bin) << "old"; }
    dialog.open(false, lastDir);
    prompt.answers = {Answer::No};
    EXPECT_FALSE(dialog.start()); // the existing file is kept
    EXPECT_EQ(prompt.shown.back().caption, "Recorder File");
    EXPECT_EQ(prompt.shown.back().text, bin.string() + "\r\nThe file already exists. Replace existing file?");
    EXPECT_EQ(slurp(bin), "old");

    prompt.answers = {Answer::Yes};
    ASSERT_TRUE(dialog.start());
    EXPECT_TRUE(recorder.recording());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(dialog.info().back(), "Start recording = at 1700000000");
    const auto b = dialog.buttons();
    EXPECT_FALSE(b.file || b.start || b.exit);
    EXPECT_TRUE(b.stop);
    EXPECT_EQ(dialog.sizeLabel(), "Size = 0 Bytes    Time = 0  0:00:00");

    std::vector<std::int16_t> values(1000);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<std::int16_t>(i * 65 - 32768);
    recorder.append(values, 0);
    clock.t += std::chrono::seconds(61);
    dialog.tick();
    EXPECT_EQ(dialog.sizeLabel(), "Size = 2 000 Bytes    Time = 0  0:01:01");

    // Closing the window: No keeps recording.
    prompt.answers = {Answer::No};
    EXPECT_FALSE(dialog.stop(true));
    EXPECT_EQ(prompt.shown.back().caption, "Warning");
    EXPECT_EQ(prompt.shown.back().text, "Stop recording?");
    EXPECT_EQ(prompt.shown.back().style, core::MessageStyle::YesNo);
    EXPECT_TRUE(recorder.recording());
    recorder.append(std::span(values).first(499), 0);

    prompt.answers = {Answer::Yes};
    ASSERT_TRUE(dialog.stop(false));
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(dialog.buttons().start);
    EXPECT_FALSE(dialog.buttons().stop);

    const std::string data = slurp(bin);
    ASSERT_EQ(data.size(), 2u * 1499u);
    EXPECT_EQ(static_cast<unsigned char>(data[0]), 0x00); // -32768, low byte first
    EXPECT_EQ(static_cast<unsigned char>(data[1]), 0x80);
    EXPECT_EQ(static_cast<unsigned char>(data[2]), 65);
    EXPECT_EQ(slurp(dir / "recorder.txt"), "Oscilloscope recorder file = recorder.bin\r\n"
                                           "\r\n"
                                           "Sampling rate = 5.00 KHz\r\n"
                                           "Peak detector off, bytes per sample = 2\r\n"
                                           "Data format = Signed 16 bit LSB First\r\n"
                                           "Write speed = 34.332275 MBytes/hour\r\n"
                                           "\r\n"
                                           "Time step = 200.0 uS\r\n"
                                           "Voltage step = 122.0703 uV\r\n"
                                           "Zero level = 8192\r\n"
                                           "\r\n"
                                           "Start recording = at 1700000000\r\n"
                                           "Stop recording = at 1700000061\r\n"
                                           "Size = 2998 Bytes\r\n"
                                           "Time = 0  0:01:01\r\n");
    // The counters stay until the next start.
    EXPECT_EQ(dialog.sizeLabel(), "Size = 2 998 Bytes    Time = 0  0:01:01");
}

TEST_F(RecorderDialogTest, LostValuesAreShownAndWritten) {
    dialog.open(true, lastDir);
    ASSERT_TRUE(dialog.start());
    const std::vector<std::int16_t> values(100, 0);
    recorder.append(values, 0);
    recorder.append(values, 500'000);
    EXPECT_EQ(recorder.total(), 200u);
    EXPECT_EQ(recorder.lost(), 500'000u);
    EXPECT_EQ(dialog.sizeLabel(), "Записано = 400 Байт    Время = 0  0:00:00    Потеряно = 1 000 000 Байт");
    { std::ofstream(dir / "recorder.txt") << "kept"; }
    prompt.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(dialog.stop(false));
    EXPECT_EQ(prompt.shown.back().caption, "Сохранение сопутствующего текстового файла.");
    const std::string text = slurp(dir / "recorder.txt");
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "Файл самописца = recorder.bin");
    EXPECT_NE(text.find("\r\nЗаписано = 400 Байт\r\nВремя = 0  0:00:00\r\nПотеряно = 1000000 Байт\r\n"),
              std::string::npos)
        << text;
}

TEST_F(RecorderDialogTest, UnwritableFileLeavesTheDialogIdle) {
    prompt.saved = {(dir / "no/such/dir/rec.bin").string()};
    dialog.open(false, lastDir);
    dialog.chooseFile(lastDir);
    EXPECT_FALSE(dialog.start());
    EXPECT_EQ(prompt.shown.back().style, core::MessageStyle::Error);
    EXPECT_EQ(prompt.shown.back().text,
              (dir / "no/such/dir/rec.bin").string() + "\r\nCan't open file for writing.");
    EXPECT_FALSE(recorder.recording());
    EXPECT_TRUE(dialog.buttons().start);
    EXPECT_EQ(changes, 0);
}

TEST(RecorderConditions, AllMustHold) {
    ScriptedPrompt prompt;
    RecorderConditions ok{true, true, true, 0, true, false, false};
    EXPECT_TRUE(checkRecorderConditions(prompt, false, ok));
    EXPECT_TRUE(prompt.shown.empty());
    auto c = ok;
    c.rollMode = false;
    EXPECT_FALSE(checkRecorderConditions(prompt, false, c));
    c = ok;
    c.deviceStatus = 4;
    EXPECT_FALSE(checkRecorderConditions(prompt, true, c));
    c = ok;
    c.antennaAnalyzer = true;
    EXPECT_FALSE(checkRecorderConditions(prompt, false, c));
    ASSERT_EQ(prompt.shown.size(), 3u);
    EXPECT_EQ(prompt.shown[0].caption, "Binary Recorder");
    EXPECT_EQ(prompt.shown[0].text, "Run 0.1 .. 1000 S/Div. On A1. Disable Trigger.");
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Error);
    EXPECT_EQ(prompt.shown[1].caption, "Двоичый самописец");
    EXPECT_EQ(prompt.shown[1].text,
              "Запустите развертку 0.1 .. 1000 S/Div. Включите канал A1. Отключите синхронизацию.");
}

} // namespace
} // namespace kx::files
