// SPDX-License-Identifier: GPL-3.0-or-later
// Sections "FFT", "Decoders", "NA_AA", "SysClbr", "Advanced_Set" and "Colors".
#include "files/SettingsSections.h"

#include <array>

namespace kx::files {

using core::InstrumentState;

void bindFft(SettingsKeyIo& io, InstrumentState& s) {
    io.section("FFT");
    auto& f = s.fft;
    io.boolean("View_A1", f.View_A1, KeyScope::User);
    io.boolean("View_A2", f.View_A2, KeyScope::User);
    io.integer("Size", f.Size, KeyScope::Both, 0, 6);
    io.integer("Win", f.Win, KeyScope::Both, 0, 8);
    io.integer("Scale", f.Scale, KeyScope::Both, 0, 3);
    io.integer("Ave", f.Ave, KeyScope::Both, 0, 6);
    io.integer("Zoom", f.Zoom, KeyScope::Both, 0, 8);
    io.boolean("15dB_div", f.dB15_div);
    io.boolean("dbv_v", f.dbv_v);
    io.boolean("Ave_On", f.Ave_On);
    io.boolean("View_Sig", f.View_Sig);
    io.boolean("Calc_Both", f.Calc_Both);
}

void bindDecoders(SettingsKeyIo& io, InstrumentState& s) {
    io.section("Decoders");
    auto& d = s.decoder;
    io.integer("Type", d.Type, KeyScope::Both, 0, 1);
    io.integer64("Baud_Rate", d.Baud_Rate, 2, 400'000'000);
    io.integer("PRTY", d.PRTY, KeyScope::Both, 0, 3);
    io.integer("Data_Bits", d.Data_Bits, KeyScope::Both, 2, 32);
    io.integer("Stop_Bits", d.Stop_Bits, KeyScope::Both, 1, 2);
    io.integer("MSB_First", d.MSB_First, KeyScope::Both, 0, 1);
    io.integer("RXD", d.RXD, KeyScope::Both, 0, 6);
    io.integer("TXD", d.TXD, KeyScope::Both, 0, 6);
    io.integer("CLK", d.CLK, KeyScope::Both, 0, 6);
    io.integer("CS", d.CS, KeyScope::Both, 0, 6);
    io.integer("RXD_Inv", d.RXD_Inv, KeyScope::Both, 0, 1);
    io.integer("TXD_Inv", d.TXD_Inv, KeyScope::Both, 0, 1);
    io.integer("CLK_Inv", d.CLK_Inv, KeyScope::Both, 0, 1);
    io.integer("CS_Inv", d.CS_Inv, KeyScope::Both, 0, 1);
    io.integer("Display", d.Display, KeyScope::Both, 0, 2);
}

namespace {

std::vector<std::string> numbered(const char* prefix, int count) {
    std::vector<std::string> keys;
    for (int i = 0; i < count; ++i) keys.push_back(prefix + std::to_string(i));
    return keys;
}

} // namespace

void bindAnalyzers(SettingsKeyIo& io, InstrumentState& s) {
    io.section("NA_AA");
    auto& a = s.analyzer;
    static const auto kNaRange = numbered("NA_Amp_Range", 6);
    static const std::array<std::string, 4> kZo{"AA_R25", "AA_R50", "AA_R75", "AA_R100"};
    static const auto kSwr = numbered("AA_SWR_Range", 5);
    static const auto kQ = numbered("AA_Q_Range", 3);
    static const auto kImp = numbered("AA_Imp_Range", 11);
    static const auto kG1 = keyList("AA_G1_", core::kAaGraph1Keys);
    static const auto kG2 = keyList("AA_G2_", core::kAaGraph23Keys);
    static const auto kG3 = keyList("AA_G3_", core::kAaGraph23Keys);
    static const std::array<std::string, 5> kZoom{"NA_AA_Zoom1", "NA_AA_Zoom2", "NA_AA_Zoom5", "NA_AA_Zoom10",
                                                  "NA_AA_Zoom20"};
    io.boolean("NA", a.NA);
    io.radio(kNaRange, a.NaAmpRange);
    io.boolean("NA_Ampl", a.NA_Ampl);
    io.boolean("NA_Phase", a.NA_Phase);
    io.boolean("AA", a.AA);
    io.radio(kZo, a.AaZo);
    io.radio(kSwr, a.AaSwrRange);
    io.radio(kQ, a.AaQRange);
    io.radio(kImp, a.AaImpRange);
    io.radio(kG1, a.AaGraph1);
    io.radio(kG2, a.AaGraph2);
    io.radio(kG3, a.AaGraph3);
    io.boolean("NA_m20_dB", a.NA_m20_dB);
    io.boolean("NA_Use_Clbr", a.NA_Use_Clbr);
    io.boolean("AA_Use_Clbr", a.AA_Use_Clbr);
    io.boolean("AA_Smith", a.AA_Smith);
    io.radio(kZoom, a.IqZoom);
    io.text("NA_Clbr_File", s.system.NA_Clbr_File, KeyScope::Program);
    io.text("AA_Clbr_File", s.system.AA_Clbr_File, KeyScope::Program);
}

void bindSysClbr(SettingsKeyIo& io, InstrumentState& s) {
    if (!io.active(KeyScope::Program)) return;
    io.section("SysClbr");
    io.integer("Freq_Clbr", s.system.Freq_Clbr);
    io.real("Ref_Freg", s.system.Ref_Freg);
}

void bindAdvanced(SettingsKeyIo& io, InstrumentState& s) {
    io.section("Advanced_Set");
    auto& y = s.system;
    io.integer("AD_Match", y.AD_Match, KeyScope::Program, 0, 255);
    io.boolean("Dither_En", y.Dither_En, KeyScope::Program);
    io.boolean("Use_ADC_0", y.Use_ADC_0, KeyScope::Program);
    io.boolean("Analog_BW_Flt", y.Analog_BW_Flt);
    io.boolean("Digital_BW_Flt", y.Digital_BW_Flt);
    io.boolean("IQ_Win_En", y.IQ_Win_En);
    io.integer("Vel_Factor", y.Vel_Factor);
    io.boolean("Refl_Cursors", y.Refl_Cursors);
}

void bindColors(SettingsKeyIo& io, InstrumentState& s) {
    if (!io.active(KeyScope::Program)) return;
    io.section("Colors");
    auto& c = s.display.colors;
    const core::ColorRoles d{};
    io.colour("CH_A1", c.ColorA1, d.ColorA1);
    io.colour("CH_A2", c.ColorA2, d.ColorA2);
    io.colour("CH_D1", c.ColorD1, d.ColorD1);
    io.colour("CH_D2", c.ColorD2, d.ColorD2);
    io.colour("CH_D3", c.ColorD3, d.ColorD3);
    io.colour("CH_D4", c.ColorD4, d.ColorD4);
    io.colour("Background", c.ColorBackground, d.ColorBackground);
    io.colour("Border", c.ColorBorder, d.ColorBorder);
    io.colour("Markers", c.ColorMarkers, d.ColorMarkers);
    io.colour("Grid", c.ColorGrid, d.ColorGrid);
    io.colour("Grid_Frame", c.ColorGridFrame, d.ColorGridFrame);
    io.colour("Trig_Pos", c.ColorTrigPos, d.ColorTrigPos);
    io.colour("FFT", c.ColorFft, d.ColorFft);
    io.colour("Extra_Info", c.ColorExtraInfo, d.ColorExtraInfo);
    if (!io.writing()) c.syncAnalyzerSlots();
}

} // namespace kx::files
