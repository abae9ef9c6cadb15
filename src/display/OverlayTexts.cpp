// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/OverlayTexts.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <array>
#include <string>

namespace kx::display {

namespace {

struct DebugLine {
    const char* english;
    const char* russian;
    const char* unit;
};

constexpr std::array<DebugLine, 12> kUsbLines{{
    {" Displayed waveforms per sec = ", " Отображенных осциллограм в сек = ", ""},
    {" Skipped waveforms per sec = ", " Отброшенных осциллограм в сек = ", ""},
    {" Received main packets per sec = ", " Принятых основных пакетов в сек = ", ""},
    {" Received extra packets per sec = ", " Принятых служебных пакетов в сек = ", ""},
    {" CRC errors per sec = ", " Сбоев CRC пакетов в сек = ", ""},
    {" Received driver data = ", " Данных от драйвера = ", " Bytes/S"},
    {" Leakage outside packets = ", " Утечка данных вне пакетов = ", " Bytes/S"},
    {" Driver buffer max loading = ", " Пик. загрузка буф. драйвера  = ", " Bytes"},
    {" Device reconfig. counter = ", " Счётчик конфигураций устройства  = ", ""},
    {" Device reconfig. errors = ", " Сбоев конфигурации устройства  = ", ""},
    {" Screen update counter = ", " Фактических перерисовок экрана = ", ""},
    {" Run under Linux (Wine) = ", " Запуск под Linux (Wine) = ", ""},
}};

// Equivalent-time diagnostics, words 71..103 of the frame.
void etsLines(const ReadoutContext& c, std::uint32_t color, TextList& out) {
    const auto& g = c.geometry;
    const auto& h = c.header;
    const bool ru = c.state.system.RussianUi;
    const char dec = c.sources.decimalSeparator;
    const int x = g.PlotLeft + (g.PlotWidth / 4) * 2 + 3;
    int k = 0;
    auto line = [&]() -> std::string& { return out.add(x, g.PlotTop + 30 + 15 * k++, color); };
    for (int i = 0; i < 4; ++i) {
        std::string& t = line();
        t = "Fmax" + std::to_string(i) + " = ";
        t += core::formatNumber(h.getReal(71 + 2 * i), core::UnitType::Frequency, -7, dec);
        t += ru ? " Зона Найквиста = " : " Nyquist Zone = ";
        t += std::to_string(h[98 + i]);
    }
    for (int i = 0; i < 4; ++i) {
        std::string& t = line();
        t = "F" + std::to_string(i) + (ru ? " исп. " : " used ") + std::to_string(h[93 + i]);
        t += ru ? "  Кратность = " : "  Ratio = ";
        t += std::to_string(h[85 + i]) + "/" + std::to_string(h[89 + i]);
    }
    line() = std::string(ru ? "Попарных совп. частот = " : "Matching freq. pairs = ") + std::to_string(h[97]);
    line() = std::string(ru ? "Точек на восст. период = " : "Samples per period = ") + std::to_string(h[81]);
    line() = std::string(ru ? "Заполнение периода = " : "Recovered samples = ") +
             core::formatFixed(h.getReal(82), 2, dec) + " %";
    line() = std::string(ru ? "Мин. усреднение точки = " : "Min point ave. = ") + std::to_string(h[102]);
    line() = std::string(ru ? "Макс. усреднение точки = " : "Max point ave. = ") + std::to_string(h[103]);
    line() = std::string(ru ? "Порядок пост фильтра = " : "Post filter order = ") + std::to_string(h[84]);
}

// A frame accepted late in one second and drawn early in the next would read as a negative
// number of skipped frames; none were skipped then.
std::int64_t skippedFrames(const device::ShownStatistics& s) {
    return std::max<std::int64_t>(0, s.skipped());
}

} // namespace

void buildOverlayTexts(const ReadoutContext& c, TextList& out) {
    out.clear();
    const auto& g = c.geometry;
    if (g.CompactScreen) return;
    const auto& s = c.state;
    const std::uint32_t color = s.display.colors.ColorExtraInfo;
    const auto& shown = c.sources.shown;

    if (s.display.Extra_Info) {
        const int y = g.PlotTop + 1;
        std::string& grid = out.add(g.PlotLeft + 3, y, color);
        grid += "Grid = ";
        grid += std::to_string(g.PlotWidth);
        grid += " x ";
        grid += std::to_string(g.PlotHeight);
        std::string& vcc = out.add(g.PlotLeft + static_cast<int>(2.5 * (g.PlotWidth / 10)), y, color);
        vcc += "Vcc = ";
        if (c.deviceReady)
            vcc += core::formatNumber(c.sources.supplyMillivolts * 1000.0, core::UnitType::Voltage,
                                      s.system.DebugMode ? -4 : -3, c.sources.decimalSeparator);
        else
            vcc += "...";
        appendSampleCountText(out.add(g.PlotLeft + static_cast<int>(4.5 * (g.PlotWidth / 10)), y, color),
                              c.header, c.sinxActive, " ");
        std::string& wps = out.add(g.PlotLeft + (g.PlotWidth / 4) * 3, y, color);
        wps += "WPS/Skipped  = ";
        wps += std::to_string(shown.displayedFrames);
        wps += "/";
        wps += std::to_string(skippedFrames(shown));
    }

    if (s.display.USB_Stat && s.system.DebugMode) {
        const std::array<std::int64_t, 12> values{shown.displayedFrames,
                                                  skippedFrames(shown),
                                                  shown.dataPackets,
                                                  shown.statusPackets,
                                                  shown.crcErrors,
                                                  shown.bytesRead,
                                                  shown.leakage,
                                                  shown.maxQueue,
                                                  c.sources.reconfigurations,
                                                  c.sources.reconfigurationErrors,
                                                  c.sources.screenUpdates,
                                                  c.sources.wineMode ? 1 : 0};
        for (std::size_t k = 0; k < kUsbLines.size(); ++k) {
            const DebugLine& line = kUsbLines[k];
            std::string& t = out.add(g.PlotLeft + 3, g.PlotTop + 30 + 15 * static_cast<int>(k), color);
            t = s.system.RussianUi ? line.russian : line.english;
            t += std::to_string(values[k]);
            t += line.unit;
        }
    }

    if (s.display.ETS_Stat && s.system.DebugMode && c.header[core::fh::EtsState] != 0)
        etsLines(c, color, out);
}

} // namespace kx::display
