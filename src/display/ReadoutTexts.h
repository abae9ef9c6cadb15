// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/DerivedQuantities.h"
#include "core/FrameRecord.h"
#include "core/InstrumentState.h"
#include "display/ReadoutSources.h"
#include "display/ScreenGeometry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kx::display {

// One text to draw: the top-left corner of its cell and a colour role value (0x00BBGGRR).
struct PlacedText {
    int x = 0;
    int y = 0;
    std::uint32_t color = 0;
    std::string text;
};

// A fixed set of text slots kept from frame to frame, so the strings keep their capacity.
class TextList {
public:
    static constexpr std::size_t kCapacity = 72;

    void clear() { m_count = 0; }
    std::size_t size() const { return m_count; }
    const PlacedText& operator[](std::size_t i) const { return m_items[i]; }
    const PlacedText* begin() const { return m_items.data(); }
    const PlacedText* end() const { return m_items.data() + m_count; }
    // The slot's text starts empty; past the capacity the last slot is reused.
    std::string& add(int x, int y, std::uint32_t color);
    // The first text that starts with `prefix`, or null.
    const PlacedText* find(std::string_view prefix) const;

private:
    std::array<PlacedText, kCapacity> m_items{};
    std::size_t m_count = 0;
};

// Everything a readout depends on besides the settings: the frame as taken, where it is drawn,
// what the signal-area update decided and what the window knows of the device.
struct ReadoutContext {
    const core::InstrumentState& state;
    const core::DerivedQuantities& derived;
    const core::FrameHeader& header;
    const ScreenGeometry& geometry;
    const ReadoutSources& sources;
    std::int64_t scrollPos = 0; // first analog sample shown
    bool sinxActive = false;
    bool deviceReady = false;
    bool spectrumA1 = false; // that channel's spectrum is shown
    bool spectrumA2 = false;
};

// Column ci (0..9) of the readout rows and the y of the status row (row 0) and rows 1..4.
int readoutColumn(const ScreenGeometry& g, int ci);
int readoutRow(const ScreenGeometry& g, int row);
int readoutFontHeight(const ScreenGeometry& g);

// The texts of the status row and rows 1 to 4 that apply; the spectrum's own texts are not
// among them.
void buildReadoutTexts(const ReadoutContext& c, TextList& out);

// Row 3 of the analysers: the quantities at the cursors, appended to `out`.
void appendAnalyzerCursorTexts(const ReadoutContext& c, TextList& out);

// Appends "Smpl = 2x5000 PD", "Smpl = 5000 HR 2^3 (2500)  ETS" ...; hiResGap is the blank run
// between "HR" and "2^".
void appendSampleCountText(std::string& out, const core::FrameHeader& h, bool sinxActive,
                           const char* hiResGap);

// Sweep abscissa of a frame: hertz per nanosecond, or -1 where not defined.
double sweepRate(const core::FrameHeader& h);
double sweepFrequencyAt(const core::FrameHeader& h, double rate, double tNs);

// The additional-condition label on the plot.
struct TriggerEventLabel {
    std::string text;
    int x = 0;
    int y = 0;
    int channel = 0; // 0..5: A1, A2, D1..D4, whose colour it takes
};
// Text only: "PUL 1.000 uS", "PER ..."; empty for kinds without a label.
std::string triggerEventText(const core::FrameHeader& h, char decimalSeparator = '.');
// Nothing when there is no label or its source channel is hidden.
std::optional<TriggerEventLabel> triggerEventLabel(const ReadoutContext& c);

} // namespace kx::display
