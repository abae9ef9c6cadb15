// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DataFile.h"
#include "files/DataFileFormat.h"

#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace kx::files {
namespace {

using core::Channel;
using core::kNoSample;
namespace fh = core::fh;
namespace fs = std::filesystem;

// Questions are answered Yes unless a test scripts otherwise.
struct ScriptedPrompt : kx::testing::ScriptedPrompt {
    ScriptedPrompt() : kx::testing::ScriptedPrompt(core::Answer::Yes) {}
};

class DataFileTest : public ::testing::Test {
protected:
    std::unique_ptr<core::FrameRecord> frame = std::make_unique<core::FrameRecord>();
    std::unique_ptr<core::FrameRecord> background = std::make_unique<core::FrameRecord>();
    bool laneSwap = true;
    std::vector<double> specA1 = std::vector<double>(16384, 0.0);
    std::vector<double> specA2 = std::vector<double>(16384, 0.0);
    std::vector<double> ets = std::vector<double>(163840, 0.0);
    DataFileRecords records{*frame, *background, laneSwap, specA1, specA2, ets};
    DataFileNames names;
    ScriptedPrompt prompt;
    fs::path dir;
    std::string path;
    int settingsWritten = 0;
    int settingsRead = 0;
    int framesCleared = 0;

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("kx_datafile_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "wave.kxd").string();
        frame->clear();
        background->clear();
    }
    void TearDown() override { fs::remove_all(dir); }

    SaveDataFileOptions saveOptions(bool bgView = false) {
        SaveDataFileOptions o;
        o.backgroundView = bgView;
        o.writeSettings = [this](const std::string& p) {
            ++settingsWritten;
            std::ofstream(p) << "[Common]\r\n";
            return true;
        };
        return o;
    }
    OpenDataFileOptions openOptions() {
        OpenDataFileOptions o;
        o.frameCleared = [this] { ++framesCleared; };
        o.readSettings = [this](const std::string&) {
            ++settingsRead;
            return true;
        };
        return o;
    }
    DataFileStatus save(bool bgView = false) {
        return SaveDataFile(path, records, names, prompt, saveOptions(bgView));
    }
    DataFileStatus open() { return OpenDataFile(path, records, names, prompt, openOptions()); }

    std::vector<std::uint8_t> fileBytes() const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void writeBytes(const std::vector<std::uint8_t>& b) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    // A frame with A1 and A2: `n` samples each.
    void analogFrame(std::uint32_t n) {
        auto& h = frame->header;
        h[fh::FrameDeviceType] = 0;
        h[fh::ChannelMask] = 0x03;
        h[fh::CaptureLength] = n;
        h[fh::AnalogCount] = n;
        h[fh::DigitalCount] = n;
        for (std::uint32_t i = 0; i < n; ++i) {
            frame->channels.minOf(Channel::A1)[i] = static_cast<std::int32_t>(i * 256);
            frame->channels.maxOf(Channel::A1)[i] = static_cast<std::int32_t>(i * 256);
            frame->channels.minOf(Channel::A2)[i] = 0x8000;
            frame->channels.maxOf(Channel::A2)[i] = 0x8000;
        }
    }
    std::string lastText() const { return prompt.shown.empty() ? std::string() : prompt.shown.back().text; }
};

TEST_F(DataFileTest, DigitalOnlyFrameHasTheExactSize) {
    auto& h = frame->header;
    h[fh::ChannelMask] = 0x04 | 0x10; // D1 and D3
    h[fh::AnalogCount] = 50;
    h[fh::DigitalCount] = 100;
    ASSERT_EQ(save(), DataFileStatus::Ok);
    EXPECT_EQ(fileBytes().size(), 636u + 2u * (2u * 100u));
}

TEST_F(DataFileTest, OptionalArraysFollowTheSamples) {
    analogFrame(5);
    auto& h = frame->header;
    h[fh::PeakDetect] = 1;
    h[fh::AnalyzerMode] = 1;
    h[word::FftStateA1] = 1;
    h[word::FftStateA2] = 1;
    h[word::FftPoints] = 16;
    for (int i = 0; i < 5; ++i) frame->points.re[static_cast<std::size_t>(i)] = i + 0.5;
    for (int i = 0; i < 8; ++i) specA2[static_cast<std::size_t>(i)] = 100.0 + i;
    ASSERT_EQ(save(), DataFileStatus::Ok);
    EXPECT_EQ(fileBytes().size(), 636u + 2u * 5u * 4u + 2u * 5u * 8u + 2u * 8u * 8u);

    specA2.assign(specA2.size(), -1.0);
    ASSERT_EQ(open(), DataFileStatus::Ok);
    EXPECT_DOUBLE_EQ(frame->points.re[4], 4.5);
    EXPECT_DOUBLE_EQ(frame->points.re[5], core::kNoAnalyzerData);
    EXPECT_DOUBLE_EQ(specA2[7], 107.0);
    EXPECT_DOUBLE_EQ(specA2[8], -1.0);
}

TEST_F(DataFileTest, EtsSpectrumIsStoredForTheSpectrumShown) {
    analogFrame(2);
    auto& h = frame->header;
    h[word::FftStateA1] = 1;
    h[word::EtsFftChannel] = 1;
    h[word::FftPoints] = 20;
    for (int i = 0; i < 10; ++i) ets[static_cast<std::size_t>(i)] = 7.0 * i;
    ASSERT_EQ(save(), DataFileStatus::Ok);
    ets.assign(ets.size(), 0.0);
    FftRequests seen;
    auto o = openOptions();
    o.fftRequests = [&](const FftRequests& r) { seen = r; };
    ASSERT_EQ(OpenDataFile(path, records, names, prompt, o), DataFileStatus::Ok);
    EXPECT_DOUBLE_EQ(ets[9], 63.0);
    EXPECT_TRUE(seen.restartA1);
    EXPECT_FALSE(seen.recomputeA1); // shown as stored
    EXPECT_TRUE(seen.recomputeA2);
}

TEST_F(DataFileTest, NoSampleMarkerRoundTrip) {
    analogFrame(5);
    auto& lo = frame->channels.minOf(Channel::A1);
    auto& hi = frame->channels.maxOf(Channel::A1);
    // Above 0xFF00 (an averaged top, a stray code) is the file's marker, whatever the value.
    const std::int32_t stored[5] = {kNoSample, 0xFF00, 0, 0x1234, 0xFF01};
    for (int i = 0; i < 5; ++i) lo[static_cast<std::size_t>(i)] = hi[static_cast<std::size_t>(i)] = stored[i];
    ASSERT_EQ(save(), DataFileStatus::Ok);
    const auto b = fileBytes();
    EXPECT_EQ(b[636], 0xFF);
    EXPECT_EQ(b[637], 0xFF);
    EXPECT_EQ(b[638], 0x00);
    EXPECT_EQ(b[639], 0xFF);
    EXPECT_EQ(b[644], 0xFF);
    EXPECT_EQ(b[645], 0xFF);
    lo[4] = hi[4] = 0xFFFF;
    ASSERT_EQ(save(), DataFileStatus::Ok);
    EXPECT_EQ(fileBytes()[644], 0xFF);
    EXPECT_EQ(fileBytes()[645], 0xFF);

    ASSERT_EQ(open(), DataFileStatus::Ok);
    const std::int32_t expected[5] = {kNoSample, 0xFF00, 0, 0x1234, kNoSample};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(lo[static_cast<std::size_t>(i)], expected[i]) << i;
        EXPECT_EQ(hi[static_cast<std::size_t>(i)], expected[i]) << i;
    }
    EXPECT_EQ(frame->channels.minOf(Channel::A2)[4], 0x8000);
    EXPECT_TRUE(names.dataFileNameKnown);
    EXPECT_EQ(names.dataFileName, "wave.kxd");
}

TEST_F(DataFileTest, PeakDetectStoresPairs) {
    analogFrame(3);
    frame->header[fh::PeakDetect] = 1;
    frame->header[fh::ChannelMask] = 0x01;
    frame->channels.maxOf(Channel::A1)[1] = 0x7700;
    ASSERT_EQ(save(), DataFileStatus::Ok);
    EXPECT_EQ(fileBytes().size(), 636u + 3u * 4u);
    ASSERT_EQ(open(), DataFileStatus::Ok);
    EXPECT_EQ(frame->channels.minOf(Channel::A1)[1], 0x100);
    EXPECT_EQ(frame->channels.maxOf(Channel::A1)[1], 0x7700);
}

TEST_F(DataFileTest, SaveClearsReservedWordsAndStoresTheChecksum) {
    analogFrame(4);
    frame->header[120] = 99;
    frame->header[fh::FrameCounter] = 12;
    ASSERT_EQ(save(), DataFileStatus::Ok);
    EXPECT_EQ(frame->header[120], 0u);
    EXPECT_EQ(frame->header[fh::Checksum], headerChecksum(frame->header));
    const auto b = fileBytes();
    const std::string magic(b.begin(), b.begin() + 11);
    EXPECT_EQ(magic, "KXD_KX48zz:");
    EXPECT_EQ(b[11], 0);
}

// Flipping any header byte breaks the checksum; a sample byte does not.
class CorruptByteTest : public DataFileTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(CorruptByteTest, HeaderBytesFailWithTheCrcMessage) {
    analogFrame(4);
    ASSERT_EQ(save(), DataFileStatus::Ok);
    auto b = fileBytes();
    b[GetParam()] ^= 0x40;
    writeBytes(b);
    prompt.shown.clear();
    EXPECT_EQ(open(), DataFileStatus::CrcError);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Open");
    EXPECT_EQ(prompt.shown[0].text, path + "\r\nInvalid file format. (CRC error)");
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Error);
    EXPECT_EQ(frame->channels.minOf(Channel::A1)[1], kNoSample);
    EXPECT_EQ(frame->header[fh::AnalogCount], 0u);
    EXPECT_FALSE(names.dataFileNameKnown);
}

INSTANTIATE_TEST_SUITE_P(Offsets, CorruptByteTest,
                         ::testing::Values(12u, 12u + 4u * 11u, 12u + 4u * 154u + 3u, 12u + 4u * 155u,
                                           12u + 4u * 155u + 3u));

TEST_F(DataFileTest, SampleByteChangeIsNotAnError) {
    analogFrame(4);
    ASSERT_EQ(save(), DataFileStatus::Ok);
    auto b = fileBytes();
    b[636 + 3] = 0x42;
    writeBytes(b);
    EXPECT_EQ(open(), DataFileStatus::Ok);
    EXPECT_EQ(frame->channels.minOf(Channel::A1)[1], 0x4200);
}

TEST_F(DataFileTest, BackgroundPartRoundTripAndItsChecksum) {
    analogFrame(4);
    background->header[fh::ChannelMask] = 0x01;
    background->header[fh::CaptureLength] = 3;
    background->header[fh::AnalogCount] = 3;
    background->header[120] = 5; // kept: the background's reserved words are not cleared
    for (int i = 0; i < 3; ++i)
        background->channels.minOf(Channel::A1)[static_cast<std::size_t>(i)] = 0x1100 * (i + 1);
    ASSERT_EQ(save(true), DataFileStatus::Ok);
    EXPECT_EQ(names.bgFileName, "wave_BG.kxd");
    EXPECT_EQ(fileBytes().size(), 636u + 2u * 4u * 2u + 15u + 624u + 3u * 2u);

    background->clear();
    laneSwap = true;
    bool bgLoaded = false;
    auto o = openOptions();
    o.backgroundLoaded = [&] { bgLoaded = true; };
    ASSERT_EQ(OpenDataFile(path, records, names, prompt, o), DataFileStatus::Ok);
    EXPECT_TRUE(bgLoaded);
    EXPECT_FALSE(laneSwap);
    EXPECT_EQ(background->header[120], 5u);
    EXPECT_EQ(background->channels.minOf(Channel::A1)[2], 0x3300);
    EXPECT_EQ(background->channels.maxOf(Channel::A1)[2], 0x3300);

    auto b = fileBytes();
    b[636 + 16 + 15 + 4 * 9] ^= 1; // background CaptureLength
    writeBytes(b);
    prompt.shown.clear();
    EXPECT_EQ(open(), DataFileStatus::BgCrcError);
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown[0].text, path + "\r\nInvalid file format (b.g. part). (CRC error)");
    EXPECT_EQ(frame->channels.minOf(Channel::A1)[1], kNoSample);
    EXPECT_EQ(background->channels.minOf(Channel::A1)[2], kNoSample);
    EXPECT_FALSE(names.bgFileNameKnown);
}

TEST_F(DataFileTest, BackgroundOnlyWhenShownAndPresent) {
    analogFrame(2);
    background->header[fh::CaptureLength] = 3;
    ASSERT_EQ(save(false), DataFileStatus::Ok);
    EXPECT_EQ(fileBytes().size(), 636u + 8u);
    background->header[fh::CaptureLength] = 0;
    ASSERT_EQ(save(true), DataFileStatus::Ok);
    EXPECT_EQ(fileBytes().size(), 636u + 8u);
    EXPECT_FALSE(names.bgFileNameKnown);
}

struct MagicCase {
    const char* name;
    std::vector<std::uint8_t> head;
    DataFileStatus status;
    const char* text;
};

class MagicTest : public DataFileTest, public ::testing::WithParamInterface<MagicCase> {};

TEST_P(MagicTest, RefusedWithoutTouchingTheFrame) {
    const auto& c = GetParam();
    auto b = c.head;
    b.resize(700, 0);
    writeBytes(b);
    frame->channels.minOf(Channel::A1)[0] = 1234;
    EXPECT_EQ(open(), c.status);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, path + c.text);
    EXPECT_EQ(frame->channels.minOf(Channel::A1)[0], 1234);
    EXPECT_EQ(framesCleared, 0);
}

std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

INSTANTIATE_TEST_SUITE_P(
    Heads, MagicTest,
    ::testing::Values(MagicCase{"Version1", bytesOf(std::string("KXD:\0", 5)), DataFileStatus::Version1,
                                "\r\nPlease use software version 1.xx to open."},
                      MagicCase{"Version2", bytesOf(std::string("KXD_KX48:\0", 10)), DataFileStatus::Version2,
                                "\r\nPlease use software version 2.xx to open."},
                      MagicCase{"NoZero", bytesOf("KXD_KX48zz:X"), DataFileStatus::InvalidFormat,
                                "\r\nInvalid file format."},
                      MagicCase{"Other", bytesOf("PNG"), DataFileStatus::InvalidFormat,
                                "\r\nInvalid file format."}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(DataFileTest, ShortFileLeavesTheRestEmpty) {
    analogFrame(10);
    ASSERT_EQ(save(), DataFileStatus::Ok);
    auto b = fileBytes();
    b.resize(636 + 2 * 6 + 1); // six A1 samples and half of the seventh
    writeBytes(b);
    fs::remove(dir / "wave.kxs");
    prompt.shown.clear();
    EXPECT_EQ(open(), DataFileStatus::Ok);
    EXPECT_EQ(frame->channels.minOf(Channel::A1)[5], 5 * 256);
    EXPECT_EQ(frame->channels.minOf(Channel::A1)[6], kNoSample);
    EXPECT_EQ(frame->channels.minOf(Channel::A2)[0], kNoSample);
    ASSERT_EQ(prompt.shown.size(), 1u); // only the missing companion is reported
    EXPECT_EQ(prompt.shown[0].caption, "Open Settings");
    EXPECT_EQ(prompt.shown[0].text, "Settings file not found  " + (dir / "wave.kxs").string());
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::Warning);
}

TEST_F(DataFileTest, ShortHeaderIsACrcError) {
    writeBytes(bytesOf(std::string("KXD_KX48zz:\0\1\2\3", 15)));
    EXPECT_EQ(open(), DataFileStatus::CrcError);
}

struct OversizeCase {
    const char* name;
    std::uint32_t mask, analog, digital, analyzer, fftState, fftPoints, etsChannel;
};

class OversizeTest : public DataFileTest, public ::testing::WithParamInterface<OversizeCase> {};

TEST_P(OversizeTest, CountsBeyondTheBuffersAreRefused) {
    const auto& c = GetParam();
    auto& h = frame->header;
    h[fh::ChannelMask] = c.mask;
    h[fh::AnalogCount] = c.analog;
    h[fh::DigitalCount] = c.digital;
    h[fh::AnalyzerMode] = c.analyzer;
    h[word::FftStateA1] = c.fftState;
    h[word::FftPoints] = c.fftPoints;
    h[word::EtsFftChannel] = c.etsChannel;
    ASSERT_EQ(save(), DataFileStatus::Ok); // the writer pads rather than read past the buffers
    prompt.shown.clear();
    EXPECT_EQ(open(), DataFileStatus::InvalidFormat);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, path + "\r\nInvalid file format.");
    EXPECT_EQ(frame->header[fh::AnalogCount], 0u);
}

INSTANTIATE_TEST_SUITE_P(Counts, OversizeTest,
                         ::testing::Values(OversizeCase{"Analog", 0x01, 40001, 0, 0, 0, 0, 0},
                                           OversizeCase{"Digital", 0x20, 10, 40001, 0, 0, 0, 0},
                                           OversizeCase{"Analyzer", 0, 10001, 0, 1, 0, 0, 0},
                                           OversizeCase{"Spectrum", 0, 0, 0, 0, 1, 32770, 0},
                                           OversizeCase{"EtsSpectrum", 0, 0, 0, 0, 1, 327682, 1}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(DataFileTest, LargestCountsFit) {
    analogFrame(40000);
    frame->header[fh::ChannelMask] = 0x3F;
    frame->header[word::FftStateA1] = 1;
    frame->header[word::FftPoints] = 32768;
    frame->channels.minOf(Channel::A1)[39999] = 0x4000;
    frame->channels.minOf(Channel::D4)[39999] = 256;
    specA1[16383] = 3.5;
    ASSERT_EQ(save(), DataFileStatus::Ok);
    specA1[16383] = 0;
    EXPECT_EQ(open(), DataFileStatus::Ok);
    EXPECT_EQ(frame->channels.minOf(Channel::A1)[39999], 0x4000);
    EXPECT_EQ(frame->channels.minOf(Channel::D4)[39999], 256);
    EXPECT_DOUBLE_EQ(specA1[16383], 3.5);
}

TEST_F(DataFileTest, CompanionSettingsFileIsAskedAboutSeparately) {
    analogFrame(2);
    ASSERT_EQ(save(), DataFileStatus::Ok);
    EXPECT_EQ(settingsWritten, 1);
    EXPECT_TRUE(prompt.shown.empty());

    prompt.answers = {core::Answer::No};
    EXPECT_EQ(save(), DataFileStatus::CompanionKept);
    EXPECT_EQ(settingsWritten, 1);
    ASSERT_EQ(prompt.shown.size(), 1u);
    const std::string kxs = (dir / "wave.kxs").string();
    EXPECT_EQ(prompt.shown[0].caption, "Save Settings File");
    EXPECT_EQ(prompt.shown[0].text, kxs + "\r\nThe file already exists. Replace existing file?");
    EXPECT_EQ(prompt.shown[0].style, core::MessageStyle::YesNo);

    prompt.answers = {core::Answer::Yes};
    EXPECT_EQ(save(), DataFileStatus::Ok);
    EXPECT_EQ(settingsWritten, 2);

    prompt.shown.clear();
    EXPECT_EQ(open(), DataFileStatus::Ok);
    EXPECT_EQ(settingsRead, 1);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(DataFileTest, DeviceTypeSwitchesTheInterface) {
    analogFrame(2);
    frame->header[fh::FrameDeviceType] = 0x23;
    ASSERT_EQ(save(), DataFileStatus::Ok);
    std::vector<std::string> steps;
    auto o = openOptions();
    o.uiDeviceType = 0x20;
    o.switchModel = [&](std::uint32_t t) {
        steps.push_back("switch " + std::to_string(t));
        return std::string("KX4823");
    };
    o.refresh = [&] { steps.push_back("refresh"); };
    o.settingsChanged = [&] { steps.push_back("settings"); };
    ASSERT_EQ(OpenDataFile(path, records, names, prompt, o), DataFileStatus::Ok);
    EXPECT_EQ(steps, (std::vector<std::string>{"switch 35", "refresh", "settings"}));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Warning");
    EXPECT_EQ(prompt.shown[0].text, "Interface has been changed for KX4823. ");

    frame->header[fh::FrameDeviceType] = 0;
    ASSERT_EQ(save(), DataFileStatus::Ok);
    steps.clear();
    prompt.shown.clear();
    ASSERT_EQ(OpenDataFile(path, records, names, prompt, o), DataFileStatus::Ok);
    EXPECT_EQ(steps, (std::vector<std::string>{"refresh", "settings"}));
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(DataFileTest, MessagesInRussian) {
    auto o = openOptions();
    o.russian = true;
    EXPECT_EQ(OpenDataFile((dir / "missing.kxd").string(), records, names, prompt, o),
              DataFileStatus::NotFound);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Открытие файла данных");
    EXPECT_EQ(prompt.shown[0].text, (dir / "missing.kxd").string() + "\r\nФайл не найден.");

    auto s = saveOptions();
    s.russian = true;
    prompt.shown.clear();
    EXPECT_EQ(SaveDataFile((dir / "no" / "such.kxd").string(), records, names, prompt, s),
              DataFileStatus::CannotCreate);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].caption, "Сохранение файла данных");
    EXPECT_EQ(prompt.shown[0].text, (dir / "no" / "such.kxd").string() + "\r\nНет доступа к файлу.");
}

TEST_F(DataFileTest, NotFoundInEnglish) {
    EXPECT_EQ(open(), DataFileStatus::NotFound);
    EXPECT_EQ(lastText(), path + "\r\nFile not found.");
}

} // namespace
} // namespace kx::files

namespace kx::files {
namespace {

// Random headers with a valid checksum and random tails: the reader stays inside the file and
// the buffers, whatever the counts say.
TEST_F(DataFileTest, RandomValidHeadersNeverOverrun) {
    std::uint32_t seed = 99;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 4;
    };
    for (int round = 0; round < 60; ++round) {
        core::FrameHeader h;
        for (auto& w : h.w) w = next();
        h[fh::ChannelMask] = next() & 0x3F;
        h[fh::AnalogCount] = next() % 45000;
        h[fh::DigitalCount] = next() % 45000;
        h[fh::PeakDetect] = next() & 1;
        h[fh::AnalyzerMode] = next() % 3;
        h[word::FftStateA1] = next() % 2;
        h[word::FftStateA2] = next() % 2;
        h[word::EtsFftChannel] = next() % 2;
        h[word::FftPoints] = next() % 400000;
        h[fh::Checksum] = headerChecksum(h);
        std::vector<std::uint8_t> b(kDataMagic.begin(), kDataMagic.end());
        b.push_back(0);
        appendHeader(b, h);
        const std::size_t tail = next() % 200000;
        for (std::size_t i = 0; i < tail; ++i) b.push_back(static_cast<std::uint8_t>(next()));
        writeBytes(b);
        const auto status = open();
        EXPECT_TRUE(status == DataFileStatus::Ok || status == DataFileStatus::InvalidFormat ||
                    status == DataFileStatus::BgCrcError)
            << round;
    }
}

} // namespace
} // namespace kx::files

namespace kx::files {
namespace {

class DialogPrompt : public ScriptedPrompt {
public:
    std::string answer, title, filter, dir, defaultName;
    std::string openFile(const std::string& t, const std::string& f, const std::string& d) override {
        title = t;
        filter = f;
        dir = d;
        return answer;
    }
    std::string saveFile(const std::string& t, const std::string& f, const std::string& d,
                         const std::string& n) override {
        title = t;
        filter = f;
        dir = d;
        defaultName = n;
        return answer;
    }
};

TEST(DataFileDialogs, OfferTheRememberedNameAndUpdateLastDir) {
    DialogPrompt p;
    DataFileNames names;
    std::string lastDir = "/data";
    p.answer = "/tmp/run1";
    EXPECT_EQ(chooseSaveDataFile(p, false, lastDir, names), "/tmp/run1.kxd");
    EXPECT_EQ(p.title, "Save");
    EXPECT_EQ(p.filter, "Data File (*.kxd)|*.kxd");
    EXPECT_EQ(p.dir, "/data");
    EXPECT_EQ(p.defaultName, "*.kxd");
    EXPECT_EQ(lastDir, "/tmp");

    names.dataFileName = "wave.kxd";
    names.dataFileNameKnown = true;
    p.answer.clear();
    EXPECT_EQ(chooseSaveDataFile(p, true, lastDir, names), "");
    EXPECT_EQ(p.title, "Сохранение данных");
    EXPECT_EQ(p.defaultName, "wave.kxd");
    EXPECT_EQ(lastDir, "/tmp"); // a cancelled dialog changes nothing

    p.answer = "/home/u/a.kxd";
    EXPECT_EQ(chooseOpenDataFile(p, false, lastDir), "/home/u/a.kxd");
    EXPECT_EQ(p.title, "Open");
    EXPECT_EQ(p.filter, "Data File (*.kxd)|*.kxd|All Files (*.*)|*.*");
    EXPECT_EQ(lastDir, "/home/u");
}

} // namespace
} // namespace kx::files
