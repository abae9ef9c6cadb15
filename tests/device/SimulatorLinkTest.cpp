// SPDX-License-Identifier: GPL-3.0-or-later
// The link against the simulated instrument, as the acquisition thread drives it.
#include "app/ApplySettings.h"
#include "core/InstrumentState.h"
#include "device/DeviceLink.h"
#include "device/DeviceOpen.h"
#include "device/FpgaImage.h"
#include "device/RegisterImage.h"

#include "support/ScriptedPrompt.h"
#include "support/SimDevice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace kx::device {
namespace {

using NullPrompt = kx::testing::ScriptedPrompt;

struct Events : LinkEvents {
    std::vector<int> progress;
    int configuredCalls = 0;
    void configurationProgress(int percent) override { progress.push_back(percent); }
    void configured() override { ++configuredCalls; }
};

class SimulatorLinkTest : public ::testing::Test, protected kx::testing::SimDevice {
protected:
    void SetUp() override {
        ASSERT_EQ(openSimulator(prompt, "pacing=off"), 0);
        link.setEvents(&events);
    }
    void TearDown() override { closeSimulator(); }
    bool configure() { return link.configureFpga(embeddedFpgaImage()); }

    NullPrompt prompt;
    RequestFlags flags;
    LinkStatistics stats;
    StatusBoard board;
    RegisterImageHolder registers;
    Events events;
    DeviceLink link{binding, connection, flags, stats, board, registers};
};

TEST_F(SimulatorLinkTest, ConfigurationSettingsAndStatus) {
    EXPECT_EQ(embeddedFpgaImage().size(), kFpgaImageSize);
    ASSERT_TRUE(configure());
    EXPECT_TRUE(flags.DeviceReady);
    EXPECT_EQ(events.configuredCalls, 1);
    ASSERT_FALSE(events.progress.empty());
    EXPECT_EQ(events.progress.back(), 99);
    EXPECT_EQ(link.configProgress.load(), 0);
    EXPECT_FALSE(link.transferFailed);

    RegisterImage image;
    image.setBits(reg::kRunFlags, kRunFlagRunning, true);
    registers.publish(image);
    flags.Running = true;
    EXPECT_TRUE(link.sendSettings());
    EXPECT_TRUE(flags.DeviceConfigured);
    EXPECT_EQ(connection.DeviceStatus.load(), 0);
    EXPECT_EQ(stats.framesSent.load(), 1u);
    EXPECT_EQ(stats.framesNotAcknowledged.load(), 0u);
    EXPECT_EQ(link.parser().expectedSequence(), registers.sequence());

    // The driver sets the event when bytes arrive; draining the queue lets more come.
    event.reset();
    for (int i = 0; i < 50 && link.readStep() > 0; ++i) {
    }
    EXPECT_TRUE(event.wait(2000));

    const StatusInfo s = board.snapshot();
    EXPECT_GT(s.packets, 0u);
    EXPECT_GE(s.firmwareVersion, 300);
    EXPECT_GT(s.supplyMillivolts, 4000);
    EXPECT_EQ(stats.crcErrors.load(), 0u);
}

TEST_F(SimulatorLinkTest, BothTablesGoOutInTheNextTwoFramesAndComeBack) {
    ASSERT_TRUE(configure());
    core::CalTable zero = core::defaultZeroOffsetTable();
    core::CalTable system = core::defaultSystemCalTable();
    zero[0] = 0x39; // words nobody would ship
    system[30] = 0x11;
    registers.requestTableUpload(CalTableKind::ZeroOffset, zero);
    registers.requestTableUpload(CalTableKind::System, system);
    stampTableCrc(zero);
    stampTableCrc(system);

    // The first frame carries one table and asks for the next frame at once.
    flags.SendSettingsRequest = false;
    ASSERT_TRUE(link.sendSettings());
    EXPECT_TRUE(flags.SendSettingsRequest.exchange(false));
    EXPECT_TRUE(registers.uploadPending());
    ASSERT_TRUE(link.sendSettings());
    EXPECT_FALSE(flags.SendSettingsRequest.load());
    EXPECT_FALSE(registers.tablesBusy());

    // The instrument keeps both and reports them; the board takes them.
    StatusInfo s;
    for (int i = 0; i < 400; ++i) {
        if (link.readStep() == 0) event.wait(5);
        event.reset();
        s = board.snapshot();
        if (s.zeroTable == zero && s.systemTable == system) break;
    }
    EXPECT_EQ(s.zeroTable, zero);
    EXPECT_EQ(s.systemTable, system);
    EXPECT_TRUE(s.zeroTableRead);
    EXPECT_TRUE(s.systemTableRead);
}

struct DataCounter : Events {
    int packets = 0;
    std::uint8_t lastSequence = 0;
    void dataAccepted(const DataPacketView& packet) override {
        ++packets;
        lastSequence = packet.info[info::Sequence];
    }
};

TEST_F(SimulatorLinkTest, DataPacketsOfTheCurrentSettingsAreHandedOver) {
    DataCounter data;
    link.setEvents(&data);
    ASSERT_TRUE(configure());
    core::InstrumentState state;
    state.scope.Running = true;
    const auto derived = app::applySettings(state, registers);
    link.parser().setPointsPerChannel(static_cast<std::uint32_t>(derived.Points));
    flags.Running = true;
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_TRUE(link.sendSettings());
        data.packets = 0;
        for (int i = 0; i < 2000 && data.packets < 3; ++i) {
            if (link.readStep() == 0) event.wait(5);
            event.reset();
        }
        EXPECT_GE(data.packets, 3);
        EXPECT_EQ(data.lastSequence, registers.sequence());
    }
    EXPECT_EQ(stats.crcErrors.load(), 0u);
    EXPECT_EQ(stats.oversized.load(), 0u);
}

TEST_F(SimulatorLinkTest, MissingAcknowledgementIsCounted) {
    ASSERT_TRUE(configure());
    ASSERT_EQ(control("drop_acks=all"), 0);
    EXPECT_FALSE(link.sendSettings());
    EXPECT_FALSE(flags.DeviceConfigured);
    EXPECT_EQ(stats.framesNotAcknowledged.load(), 1u);
    EXPECT_EQ(stats.framesSent.load(), 1u);
}

TEST_F(SimulatorLinkTest, AwgUploadAndItsFailure) {
    ASSERT_TRUE(configure());
    std::vector<std::int32_t> table(kAwgEntries);
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::int32_t>(i * 16);
    EXPECT_TRUE(link.uploadAwg(std::span<const std::int32_t, kAwgEntries>(table.data(), kAwgEntries)));
    EXPECT_TRUE(link.awgLoaded);
    EXPECT_FALSE(link.transferFailed);

    ASSERT_EQ(control("drop_acks=all"), 0);
    EXPECT_FALSE(link.uploadAwg(std::span<const std::int32_t, kAwgEntries>(table.data(), kAwgEntries)));
    EXPECT_FALSE(link.awgLoaded);
    EXPECT_TRUE(link.transferFailed);
    EXPECT_EQ(stats.framesNotAcknowledged.load(), 1u); // the first block failed, no further one went out
}

TEST_F(SimulatorLinkTest, NoReadyAfterConfigurationSetsTransferFailed) {
    ASSERT_EQ(control("ready=off"), 0);
    EXPECT_FALSE(configure());
    EXPECT_FALSE(flags.DeviceReady);
    EXPECT_TRUE(link.transferFailed);
    EXPECT_EQ(events.configuredCalls, 0);
}

} // namespace
} // namespace kx::device
