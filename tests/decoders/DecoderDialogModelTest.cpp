// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/DecoderDialogModel.h"

#include "decoders/DecoderFrame.h"

#include <gtest/gtest.h>

namespace kx::decoders {
namespace {

TEST(DecoderDialogModel, EditBoxesTakeWholeNumbersInRange) {
    struct Case {
        const char* text;
        DecoderControl edit;
        std::optional<std::int64_t> value;
    };
    const Case cases[] = {
        {"115200", DecoderControl::Baud_Rate, 115200},
        {"2", DecoderControl::Baud_Rate, 2},
        {"400000000", DecoderControl::Baud_Rate, 400000000},
        {"400000001", DecoderControl::Baud_Rate, std::nullopt},
        {"1", DecoderControl::Baud_Rate, std::nullopt},
        {"+9600", DecoderControl::Baud_Rate, 9600},
        {"", DecoderControl::Baud_Rate, std::nullopt},
        {"96OO", DecoderControl::Baud_Rate, std::nullopt},
        {"9600 ", DecoderControl::Baud_Rate, std::nullopt},
        {"1e5", DecoderControl::Baud_Rate, std::nullopt},
        {"-5", DecoderControl::Baud_Rate, std::nullopt},
        {"99999999999999999999", DecoderControl::Baud_Rate, std::nullopt},
        {"2", DecoderControl::Data_Bits, 2},
        {"32", DecoderControl::Data_Bits, 32},
        {"33", DecoderControl::Data_Bits, std::nullopt},
        {"1", DecoderControl::Data_Bits, std::nullopt},
        {"1", DecoderControl::Stop_Bits, 1},
        {"2", DecoderControl::Stop_Bits, 2},
        {"0", DecoderControl::Stop_Bits, std::nullopt},
        {"3", DecoderControl::Stop_Bits, std::nullopt},
        {"1", DecoderControl::PRTY, std::nullopt}, // not an edit box
    };
    for (const Case& c : cases) EXPECT_EQ(checkIntegerText(c.text, c.edit), c.value) << c.text;
    EXPECT_EQ(editMaxLength(DecoderControl::Baud_Rate), 9);
    EXPECT_EQ(editMaxLength(DecoderControl::Data_Bits), 2);
    EXPECT_EQ(editMaxLength(DecoderControl::Stop_Bits), 1);
}

TEST(DecoderDialogModel, ControlsWriteTheirSettings) {
    core::DecoderState d;
    applyDecoderControl(d, DecoderControl::Baud_Rate, 400'000'000, true);
    applyDecoderControl(d, DecoderControl::PRTY, 3, true);
    applyDecoderControl(d, DecoderControl::CS_Inv, 1, true);
    applyDecoderControl(d, DecoderControl::Display, 2, true);
    EXPECT_EQ(d.Baud_Rate, 400'000'000);
    EXPECT_EQ(d.PRTY, 3);
    EXPECT_EQ(d.CS_Inv, 1);
    EXPECT_EQ(d.Display, 2);
    EXPECT_EQ(decoderControlValue(d, DecoderControl::Baud_Rate), 400'000'000);
    EXPECT_EQ(decoderControlValue(d, DecoderControl::CS_Inv), 1);

    // "-" in place of A2 selects A1 on a model without a second analog channel.
    EXPECT_EQ(applyDecoderControl(d, DecoderControl::TXD, kSourceA2, false), kSourceA1);
    EXPECT_EQ(d.TXD, kSourceA1);
    EXPECT_EQ(applyDecoderControl(d, DecoderControl::CLK, kSourceA2, true), kSourceA2);
    EXPECT_EQ(applyDecoderControl(d, DecoderControl::PRTY, 2, false), 2); // not a source
}

TEST(DecoderDialogModel, EnablingRulesAndItems) {
    const DecoderControlStates off = decoderControlStates(0);
    EXPECT_FALSE(off.rs232);
    EXPECT_FALSE(off.rxdTxd);
    EXPECT_STREQ(off.rxdLabel, "");
    EXPECT_TRUE(off.clearListing);
    const DecoderControlStates rs232 = decoderControlStates(1);
    EXPECT_TRUE(rs232.rs232);
    EXPECT_TRUE(rs232.rxdTxd);
    EXPECT_STREQ(rs232.rxdLabel, "RXD -");
    EXPECT_STREQ(rs232.txdLabel, "TXD -");
    EXPECT_FALSE(rs232.clearListing);

    const auto en = sourceItems(false, false, true);
    EXPECT_EQ(en[0], "OFF");
    EXPECT_EQ(en[2], "A2");
    EXPECT_EQ(en[6], "D4");
    EXPECT_EQ(sourceItems(true, false, true)[0], "ACTIVE");
    EXPECT_EQ(sourceItems(false, true, false)[0], "Выкл.");
    EXPECT_EQ(sourceItems(true, true, false)[0], "Активн.");
    EXPECT_EQ(sourceItems(false, false, false)[2], "-");

    core::DecoderState d;
    d.Type = 5;
    prepareDecoderSettings(d);
    EXPECT_EQ(d.Type, 1);
}

} // namespace
} // namespace kx::decoders
