// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/DecoderDialogModel.h"

#include "decoders/DecoderFrame.h"
#include "decoders/DecoderTexts.h"

#include <charconv>

namespace kx::decoders {

namespace {

struct EditRule {
    std::int64_t min;
    std::int64_t max;
    int length;
};

std::optional<EditRule> editRule(DecoderControl edit) {
    switch (edit) {
    case DecoderControl::Baud_Rate:
        return EditRule{2, 400'000'000, 9};
    case DecoderControl::Data_Bits:
        return EditRule{2, 32, 2};
    case DecoderControl::Stop_Bits:
        return EditRule{1, 2, 1};
    default:
        return std::nullopt;
    }
}

// The 32-bit field of a control ("Baud_Rate" is the one 64-bit setting).
template <class State> auto intField(State& d, DecoderControl control) -> decltype(&d.Type) {
    switch (control) {
    case DecoderControl::Type:
        return &d.Type;
    case DecoderControl::PRTY:
        return &d.PRTY;
    case DecoderControl::Data_Bits:
        return &d.Data_Bits;
    case DecoderControl::Stop_Bits:
        return &d.Stop_Bits;
    case DecoderControl::MSB_First:
        return &d.MSB_First;
    case DecoderControl::RXD:
        return &d.RXD;
    case DecoderControl::TXD:
        return &d.TXD;
    case DecoderControl::CLK:
        return &d.CLK;
    case DecoderControl::CS:
        return &d.CS;
    case DecoderControl::RXD_Inv:
        return &d.RXD_Inv;
    case DecoderControl::TXD_Inv:
        return &d.TXD_Inv;
    case DecoderControl::CLK_Inv:
        return &d.CLK_Inv;
    case DecoderControl::CS_Inv:
        return &d.CS_Inv;
    case DecoderControl::Display:
        return &d.Display;
    case DecoderControl::Baud_Rate:
        break;
    }
    return nullptr;
}

bool isSource(DecoderControl c) {
    return c == DecoderControl::RXD || c == DecoderControl::TXD || c == DecoderControl::CLK ||
           c == DecoderControl::CS;
}

} // namespace

std::int64_t applyDecoderControl(core::DecoderState& d, DecoderControl control, std::int64_t value,
                                 bool a2Available) {
    if (isSource(control) && value == kSourceA2 && !a2Available) value = kSourceA1;
    if (control == DecoderControl::Baud_Rate) {
        d.Baud_Rate = value;
        return value;
    }
    *intField(d, control) = static_cast<std::int32_t>(value);
    return value;
}

std::int64_t decoderControlValue(const core::DecoderState& d, DecoderControl control) {
    if (control == DecoderControl::Baud_Rate) return d.Baud_Rate;
    return *intField(d, control);
}

std::optional<std::int64_t> checkIntegerText(std::string_view text, DecoderControl edit) {
    const auto rule = editRule(edit);
    if (!rule || text.empty()) return std::nullopt;
    if (text.front() == '+') text.remove_prefix(1);
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (v < rule->min || v > rule->max) return std::nullopt;
    return v;
}

int editMaxLength(DecoderControl edit) {
    const auto rule = editRule(edit);
    return rule ? rule->length : 0;
}

DecoderControlStates decoderControlStates(std::int32_t type) {
    DecoderControlStates s;
    if (type == 0) {
        s.clearListing = true;
        return s;
    }
    s.rs232 = true;
    s.rxdTxd = true;
    s.rxdLabel = text::kRxd;
    s.txdLabel = text::kTxd;
    return s;
}

std::array<std::string, 7> sourceItems(bool csList, bool russian, bool a2Available) {
    return {(csList ? text::kActive : text::kOff).pick(russian),
            "A1",
            a2Available ? "A2" : "-",
            "D1",
            "D2",
            "D3",
            "D4"};
}

void prepareDecoderSettings(core::DecoderState& d) {
    if (d.Type > 1) d.Type = 1;
}

} // namespace kx::decoders
