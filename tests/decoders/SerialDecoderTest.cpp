// SPDX-License-Identifier: GPL-3.0-or-later
// The per-frame step on a frame record and the instrument state, as the session runs it.
#include "decoders/SerialDecoder.h"

#include "core/FrameRecord.h"
#include "core/InstrumentState.h"

#include "UartSignal.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kx::decoders {
namespace {

constexpr int kA1 = 0;
constexpr int kD2 = 3;

std::string text(const DecodedLine& line) {
    std::string s;
    for (const DecodedChar& c : line.view()) s.push_back(static_cast<char>(c.value));
    return s;
}

// A1 carries "Hi" between codes 0x6000 and 0xA000, D2 carries "ok"; the A1 sample scale equals
// the screen scale (1 V/div captured and shown, zero 0x8000 in both), so a trigger level is a
// sample threshold directly.
class PerFrameStep : public ::testing::Test {
protected:
    void SetUp() override {
        record->clear();
        auto& h = record->header;
        h[core::fh::CaptureLength] = 1000;
        h[core::fh::ChannelMask] = 0x3F;
        h.set64(core::fh::SamplePeriodPs, 1'000'000);
        h.set64(core::fh::DigitalPeriodPs, 1'000'000);
        h[core::fh::ScaleA1] = 1'000'000;
        h[core::fh::ZeroA1] = 0x8000;

        put(kA1, "Hi", 0xA000, 0x6000, core::fh::AnalogCount);
        put(kD2, "ok", 256, 0, core::fh::DigitalCount);

        state.scope.A1.Zero = 0x8000;
        state.scope.A1.voltsDiv = 1; // 1 V/div
        state.trigger.Lev_A1 = 0x8000;
        state.trigger.Hyst = 2;
        state.decoder.Type = 1;
        state.decoder.Baud_Rate = 100'000; // 10 samples per bit
        state.decoder.RXD = kSourceA1;
        state.decoder.TXD = kSourceD1 + 1; // D2
    }

    void put(int channel, const char* s, int high, int low, int countWord) {
        UartSignal u;
        u.e = 10;
        u.idle(3);
        for (const char* p = s; *p != 0; ++p) u.character(static_cast<std::uint8_t>(*p));
        u.idle(3);
        u.render(false, high, low);
        auto& ch = record->channels;
        std::copy(u.min.begin(), u.min.end(), ch.min[channel].begin());
        std::copy(u.max.begin(), u.max.end(), ch.max[channel].begin());
        record->header[countWord] = static_cast<std::uint32_t>(u.min.size());
    }

    bool step() { return decoder->step(rs232Settings(state.decoder), decoderFrameOf(*record, state), false); }

    std::unique_ptr<core::FrameRecord> record = std::make_unique<core::FrameRecord>();
    core::InstrumentState state;
    std::unique_ptr<SerialDecoder> decoder = std::make_unique<SerialDecoder>();
};

TEST_F(PerFrameStep, DecodesBothLinesFromTheirSources) {
    ASSERT_TRUE(step());
    EXPECT_TRUE(decoder->ran());
    EXPECT_EQ(text(decoder->rxd()), "Hi");
    EXPECT_EQ(text(decoder->txd()), "ok");
    EXPECT_EQ(decoder->rxdSource(), kSourceA1);
    EXPECT_EQ(decoder->txdSource(), kSourceD1 + 1);
    ASSERT_FALSE(decoder->listing().empty());
    EXPECT_EQ(decoder->listing().front(), "RXD (Data - 2, errors - 0)");

    // The lines swap their sources.
    state.decoder.RXD = kSourceD1 + 1;
    state.decoder.TXD = kSourceA1;
    step();
    EXPECT_EQ(text(decoder->rxd()), "ok");
    EXPECT_EQ(text(decoder->txd()), "Hi");
}

TEST_F(PerFrameStep, AnalogThresholdsFollowTheTriggerLevelAndNoiseReject) {
    struct Case {
        double level;
        int hyst;
        const char* decoded;
    };
    const Case cases[] = {
        {0x8000, 2, "Hi"}, {0x9F00, 0, "Hi"}, // just below the high level
        {0xB000, 0, ""},                      // above the signal: never a mark
        {0x5000, 0, ""},                      // below it: never a space
        {0x8000, 5, "Hi"},                    // 24/256 either side: 0x6800 .. 0x9800 lies within the swing...
        {0x8000, 6, ""},                      // ...32/256 reaches its edges
    };
    for (const Case& c : cases) {
        state.trigger.Lev_A1 = c.level;
        state.trigger.Hyst = c.hyst;
        step();
        EXPECT_EQ(text(decoder->rxd()), c.decoded) << c.level << " " << c.hyst;
    }
}

TEST_F(PerFrameStep, LineInactiveWithoutItsChannel) {
    state.scope.CH_D2 = false; // Channels menu
    step();
    EXPECT_EQ(text(decoder->txd()), "");
    EXPECT_EQ(decoder->txdSource(), kSourceOff);
    EXPECT_EQ(text(decoder->rxd()), "Hi");

    state.scope.CH_D2 = true;
    record->header[core::fh::ChannelMask] = 0x3F & ~0x01u; // A1 not in the frame
    step();
    EXPECT_EQ(text(decoder->rxd()), "");
    EXPECT_EQ(decoder->rxdSource(), kSourceOff);
    EXPECT_EQ(text(decoder->txd()), "ok");
}

TEST_F(PerFrameStep, OffOrEmptyFramesLeaveEverythingAsItWas) {
    ASSERT_TRUE(step());
    const auto revision = decoder->listingRevision();
    state.decoder.Type = 0;
    EXPECT_FALSE(step());
    EXPECT_FALSE(decoder->ran());
    EXPECT_EQ(text(decoder->rxd()), "Hi");
    EXPECT_EQ(decoder->listingRevision(), revision);

    state.decoder.Type = 1;
    record->header[core::fh::CaptureLength] = 0;
    EXPECT_FALSE(step());

    // A type above 1 (from a settings file) runs and leaves an empty listing.
    record->header[core::fh::CaptureLength] = 1000;
    state.decoder.Type = 2;
    EXPECT_TRUE(step());
    EXPECT_EQ(decoder->rxd().count, 0);
    EXPECT_TRUE(decoder->listing().empty());
    EXPECT_GT(decoder->listingRevision(), revision);
}

TEST_F(PerFrameStep, ListingRevisionMovesOnlyWhenTheListingChanges) {
    step();
    const auto first = decoder->listingRevision();
    step();
    EXPECT_EQ(decoder->listingRevision(), first);
    state.decoder.Display = 2; // ASCII
    step();
    EXPECT_EQ(decoder->listingRevision(), first + 1);
    EXPECT_EQ(decoder->listing()[2], "000:  Hi");
    state.system.RussianUi = true;
    decoder->step(rs232Settings(state.decoder), decoderFrameOf(*record, state), true);
    EXPECT_EQ(decoder->listing()[0], "RXD (Данных - 2, ошибок - 0)");
    decoder->clearListing();
    EXPECT_TRUE(decoder->listing().empty());
    EXPECT_EQ(decoder->listingRevision(), first + 3);
}

} // namespace
} // namespace kx::decoders
