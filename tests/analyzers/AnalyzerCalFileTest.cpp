// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/AntennaCalFile.h"
#include "analyzers/NetworkAnalyzer.h"
#include "analyzers/NetworkCalFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

using namespace kx::analyzers;

namespace {

struct ScriptedPrompt : kx::core::Prompt {
    std::string caption, text;
    kx::core::MessageStyle style{};
    int calls = 0;
    kx::core::Answer message(const std::string& c, const std::string& t, kx::core::MessageStyle s) override {
        caption = c;
        text = t;
        style = s;
        ++calls;
        return kx::core::Answer::Ok;
    }
    std::string openFile(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return {};
    }
};

class CalFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("kx_calfile_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const char* name) const { return (dir / name).string(); }
    void writeBytes(const std::string& p, const std::vector<std::uint8_t>& b) {
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    std::filesystem::path dir;
};

std::vector<std::uint8_t> header(std::int32_t count, std::int32_t start, std::int32_t span,
                                 std::size_t total) {
    std::vector<std::uint8_t> b;
    putCalHeader(b, count, start, span);
    b.resize(total, 0);
    return b;
}

} // namespace

TEST_F(CalFileTest, NetworkTableFromReferenceRoundTripsThroughTheFile) {
    std::vector<std::complex<double>> ref(1000, {0.5, 0.5});
    ref[10] = {0.25, 0};
    const auto t = buildNetworkCorrection(ref, false, kCalibrationPlanStartHz, kCalibrationPlanSpanHz);
    ASSERT_EQ(t.count, 1000);
    const double k = 1 / (2 * std::sqrt(2.0));
    EXPECT_NEAR(std::abs(t.factors[10] - std::complex<double>(4 * k, 0)), 0, 1e-12);
    // A circuit identical to the reference reads 0 dB at the top line minus one division.
    const auto codes = networkPointCodes(t.factors[3] * ref[3], 1.0, 10);
    EXPECT_EQ(codes.amplitude, 57344);
    const auto t20 = buildNetworkCorrection(ref, true, kCalibrationPlanStartHz, kCalibrationPlanSpanHz);
    EXPECT_EQ(networkPointCodes(t20.factors[3] * ref[3], 1.0, 10).amplitude, 40960);

    const auto bytes = encodeNetworkCalibration(t);
    ASSERT_EQ(bytes.size(), 100u + 16 * 1000);
    EXPECT_EQ(bytes[0], 0xE8); // 1000 little-endian
    EXPECT_EQ(bytes[1], 0x03);
    EXPECT_EQ(bytes[4], 0x10); // 10000
    EXPECT_EQ(bytes[5], 0x27);
    for (std::size_t i = 12; i < 100; ++i) ASSERT_EQ(bytes[i], 0) << i;

    ScriptedPrompt prompt;
    ASSERT_TRUE(saveNetworkCalibrationWithMessage(path("a.kxc"), t, prompt, false));
    NetworkCorrectionTable back;
    ASSERT_TRUE(loadNetworkCalibrationWithMessage(path("a.kxc"), back, prompt, false));
    EXPECT_EQ(prompt.calls, 0);
    EXPECT_EQ(back.count, 1000);
    EXPECT_EQ(back.startHz, 10000);
    EXPECT_EQ(back.spanHz, 100000000);
    EXPECT_EQ(back.factors, t.factors);
}

TEST_F(CalFileTest, NetworkFileValidityRules) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool valid;
    };
    const std::vector<Case> cases{
        {"header only", header(0, 10000, 100, 100), false},
        {"one point", header(1, 10000, 100, 116), true},
        {"count 10001", header(10001, 10000, 100, 100 + 16 * 10001), false},
        {"span 0", header(1, 10000, 0, 116), false},
        {"one byte more", header(1, 10000, 100, 117), false},
        {"one byte less", header(2, 10000, 100, 131), false},
        {"negative count", header(-1, 10000, 100, 116), false},
        {"short", std::vector<std::uint8_t>(50, 0), false},
    };
    for (const auto& c : cases) {
        NetworkCorrectionTable t{5, 1, 1, std::vector<std::complex<double>>(5)};
        const auto s = decodeNetworkCalibration(c.bytes, t);
        EXPECT_EQ(s == CalFileStatus::Ok, c.valid) << c.what;
        if (!c.valid) {
            EXPECT_EQ(t.count, 5) << c.what; // untouched
        }
    }
}

TEST_F(CalFileTest, LoadFailuresEmptyTheTableAndWarn) {
    ScriptedPrompt prompt;
    NetworkCorrectionTable t{1, 1, 1, {{1, 0}}};
    EXPECT_FALSE(loadNetworkCalibrationWithMessage(path("missing.kxc"), t, prompt, false));
    EXPECT_EQ(t.count, 0);
    EXPECT_EQ(prompt.caption, "Open NA Calibration");
    EXPECT_EQ(prompt.text, path("missing.kxc") + "\r\nFile not found.");
    EXPECT_EQ(prompt.style, kx::core::MessageStyle::Warning);

    writeBytes(path("bad.kxc"), header(1, 1, 1, 100));
    t = {1, 1, 1, {{1, 0}}};
    EXPECT_FALSE(loadNetworkCalibrationWithMessage(path("bad.kxc"), t, prompt, true));
    EXPECT_EQ(t.count, 0);
    EXPECT_EQ(prompt.caption, "Открытие калибровки АЦ");
    EXPECT_EQ(prompt.text, path("bad.kxc") + "\r\nНеверный формат файла.");

    EXPECT_FALSE(saveNetworkCalibrationWithMessage(path("no/such/dir.kxc"), t, prompt, false));
    EXPECT_EQ(prompt.caption, "Save NA Calibration");
    EXPECT_EQ(prompt.text, path("no/such/dir.kxc") + "\r\nCan't open file for writing.");
    EXPECT_EQ(prompt.style, kx::core::MessageStyle::Error);

    AntennaTermTable a{1, 1, 1, {{1, 0}}, {{1, 0}}, {{1, 0}}};
    EXPECT_FALSE(loadAntennaCalibrationWithMessage(path("missing.kxo"), a, prompt, false));
    EXPECT_EQ(a.count, 0);
    EXPECT_EQ(prompt.caption, "Open AA Calibration");
}

TEST_F(CalFileTest, AntennaFileOfThousandPointsLoadsAndOneByteMoreIsRejected) {
    AntennaTermTable t;
    t.count = 1000;
    t.startHz = 10000;
    t.spanHz = 100000000;
    for (int i = 0; i < 1000; ++i) {
        t.e1.emplace_back(i, 1);
        t.e2.emplace_back(2, i);
        t.e3.emplace_back(-i, 0.5);
    }
    auto bytes = encodeAntennaCalibration(t);
    ASSERT_EQ(bytes.size(), 100u + 48 * 1000);
    writeBytes(path("a.kxo"), bytes);
    AntennaTermTable back;
    ASSERT_EQ(loadAntennaCalibration(path("a.kxo"), back), CalFileStatus::Ok);
    EXPECT_EQ(back.e1, t.e1);
    EXPECT_EQ(back.e2, t.e2);
    EXPECT_EQ(back.e3, t.e3);
    bytes.push_back(0);
    writeBytes(path("b.kxo"), bytes);
    EXPECT_EQ(loadAntennaCalibration(path("b.kxo"), back), CalFileStatus::WrongFormat);
    EXPECT_EQ(back.count, 0);
}

TEST(CalFileDecode, RandomHeadersFollowTheValidityRule) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 300; ++round) {
        const int arrays = round % 2 ? 3 : 1;
        std::int32_t count = static_cast<std::int32_t>(rng() % 12000) - 100;
        if (round % 5 == 0) count = static_cast<std::int32_t>(rng());
        const std::int32_t span = round % 7 == 0 ? 0 : static_cast<std::int32_t>(rng());
        const long long right = 100 + 16LL * arrays * std::clamp(count, 0, 10001);
        const long long length = round % 3 == 0 ? right : static_cast<long long>(rng() % 500000);
        std::vector<std::uint8_t> bytes;
        putCalHeader(bytes, count, static_cast<std::int32_t>(rng()), span);
        bytes.resize(static_cast<std::size_t>(std::max(length, 0LL)), 0xA5);
        const bool valid = bytes.size() > 100 && count <= 10000 && span != 0 &&
                           static_cast<long long>(bytes.size()) == 100 + 16LL * arrays * count;
        CalFileStatus s;
        if (arrays == 1) {
            NetworkCorrectionTable t;
            s = decodeNetworkCalibration(bytes, t);
            if (s == CalFileStatus::Ok) {
                EXPECT_EQ(t.factors.size(), static_cast<std::size_t>(count));
            }
        } else {
            AntennaTermTable t;
            s = decodeAntennaCalibration(bytes, t);
            if (s == CalFileStatus::Ok) {
                EXPECT_EQ(t.e3.size(), static_cast<std::size_t>(count));
            }
        }
        EXPECT_EQ(s == CalFileStatus::Ok, valid) << round;
    }
}
