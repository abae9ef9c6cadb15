// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/DecoderState.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The rules of the serial decoder dialog, without widgets: what each control stores, the entry
// checks of the edit boxes, the enabling rules and the item lists.
namespace kx::decoders {

enum class DecoderControl {
    Type,      // ComboBox_Decoder
    Baud_Rate, // Edit_Baud_Rate
    PRTY,      // ComboBox_PRTY
    Data_Bits, // Edit_Data_Bits
    Stop_Bits, // Edit_Stop_Bits
    MSB_First, // RadioGroup_MSB_First
    RXD,       // ComboBox_RXD .. ComboBox_CS
    TXD,
    CLK,
    CS,
    RXD_Inv, // CheckBox_RXD_Inv .. CheckBox_CS_Inv
    TXD_Inv,
    CLK_Inv,
    CS_Inv,
    Display, // ComboBox_Display
};

// Stores a control's value (item index, 0/1, or an edit box's number). A source selector's "-"
// item on a model without a second analog channel selects A1 instead. Returns the value stored,
// which the control then shows.
std::int64_t applyDecoderControl(core::DecoderState& d, DecoderControl control, std::int64_t value,
                                 bool a2Available);
std::int64_t decoderControlValue(const core::DecoderState& d, DecoderControl control);

// CheckIntegerText: the number an edit box's text stands for when it is a whole number within
// the setting's range ("Baud_Rate" 2..400000000, "Data_Bits" 2..32, "Stop_Bits" 1..2).
std::optional<std::int64_t> checkIntegerText(std::string_view text, DecoderControl edit);
// Characters an edit box takes: 9, 2 and 1.
int editMaxLength(DecoderControl edit);

// UpdateDecoderControls for a decoder type.
struct DecoderControlStates {
    bool rs232 = false;        // "Baud Rate - ", "PRTY - ", "Stop Bits - " and their controls
    bool rxdTxd = false;       // the RXD and TXD selectors and inversion boxes
    const char* rxdLabel = ""; // the role labels; CLK and CS stay empty
    const char* txdLabel = "";
    bool clearListing = false; // OFF empties Memo_Decoders
};
DecoderControlStates decoderControlStates(std::int32_t type);

// The items of a source selector: "OFF" (the CS list: "ACTIVE"), "A1", "A2" (or "-" without a
// second analog channel), "D1" .. "D4".
std::array<std::string, 7> sourceItems(bool csList, bool russian, bool a2Available);

// What the dialog does to the settings as it opens: a "Type" above 1 becomes 1.
void prepareDecoderSettings(core::DecoderState& d);

} // namespace kx::decoders
