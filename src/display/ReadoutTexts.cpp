// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/ReadoutTexts.h"

#include "core/NumberFormat.h"
#include "core/Rounding.h"
#include "core/state/AnalyzerState.h"
#include "device/StatusPacket.h"
#include "display/FrameDecisions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace kx::display {

namespace {

using core::formatFixed;
using core::formatNumber;
namespace fh = core::fh;

constexpr std::array<double, 10> kColumnDivs{0, 1.25, 2.25, 2.5, 3, 3.75, 5, 5.75, 6.25, 7.5};
constexpr std::array<const char*, 6> kChannelTags{"(A1)", "(A2)", "(D1)", "(D2)", "(D3)", "(D4)"};
constexpr std::array<const char*, 6> kTriggerTags{"A1  ", "A2  ", "D1  ", "D2  ", "D3  ", "D4  "};
constexpr std::uint32_t kCounterOverflow = 0xFFFFFFFFu;
constexpr int kFrameEtsFrequency = fh::EtsFirst + 8; // the signal frequency the reconstruction measured

long long roundAway(double x) {
    if (!std::isfinite(x)) return 0;
    return core::roundHalfAway(x);
}

std::uint32_t channelColor(const core::ColorRoles& r, int channel) {
    switch (channel) {
    case 0:
        return r.ColorA1;
    case 1:
        return r.ColorA2;
    case 2:
        return r.ColorD1;
    case 3:
        return r.ColorD2;
    case 4:
        return r.ColorD3;
    default:
        return r.ColorD4;
    }
}

int analyzerZoom(const core::InstrumentState& s) {
    const auto i = static_cast<std::size_t>(std::clamp<std::int32_t>(s.analyzer.IqZoom, 0, 4));
    return core::kIqZoom[i];
}

// Current sweep span of the generator in millihertz; start and stop are in 10^FMult Hz.
double sweepSpanSettingMilliHz(const core::GeneratorState& g) {
    const double span = std::max(0, g.FSweep - g.FStart);
    return span * std::pow(10.0, std::clamp(g.FMult, 0, 4)) * 1000.0;
}

// Decimal digits grouped in threes: "4,294,967,294".
std::string groupedCount(std::uint32_t v, char separator) {
    std::string digits = std::to_string(v);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

struct Frame {
    const core::FrameHeader& h;
    double samplePeriodPs() const { return static_cast<double>(h.get64(fh::SamplePeriodPs)); }
    bool analyzerFrame() const { return h[fh::AnalyzerMode] != 0; }
    // Time of the first sample shown, relative to the trigger.
    double t0(std::int64_t scrollPos) const {
        return static_cast<double>(scrollPos - static_cast<std::int64_t>(h[fh::PreTrigger])) * 0.001 *
               samplePeriodPs();
    }
};

// Appends in place: a slot's text keeps its capacity from frame to frame, and the short
// pieces (numbers, labels) fit the small-string buffer, so a frame allocates nothing here.
class Slot {
public:
    explicit Slot(std::string& s) : m_s(s) {}
    Slot& operator<<(std::string_view v) {
        m_s.append(v);
        return *this;
    }
    Slot& operator<<(long long v) {
        std::array<char, 24> buf{};
        const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
        m_s.append(buf.data(), r.ptr);
        return *this;
    }

private:
    std::string& m_s;
};

class Builder {
public:
    Builder(const ReadoutContext& c, TextList& out)
        : m_c(c), m_out(out), m_f{c.header}, m_dec(c.sources.decimalSeparator),
          m_colors(c.state.display.colors) {}

    void run() {
        const bool spectrum = m_c.spectrumA1 || m_c.spectrumA2;
        if (!spectrum) statusRow();
        row1(spectrum);
        if (!spectrum) cursorRow();
        if (m_c.derived.AnalyzerOn) {
            if (!spectrum) appendAnalyzerCursorTexts(m_c, m_out);
            analyzerFooter();
        } else {
            channelRow(0);
            channelRow(1);
        }
    }

private:
    Slot put(int column, int row, std::uint32_t color) {
        return Slot(m_out.add(readoutColumn(m_c.geometry, column), readoutRow(m_c.geometry, row), color));
    }
    std::string num(double v, core::UnitType t, int precision) const {
        return formatNumber(v, t, precision, m_dec);
    }
    std::string fixed(double v, int decimals) const { return formatFixed(v, decimals, m_dec); }

    double sweepPrecisionScale() const {
        const int zoom = analyzerZoom(m_c.state);
        if (m_f.analyzerFrame() && zoom > 1) return zoom;
        return pixelsPerSample(m_c.geometry.PixelsPerDivX, m_f.h.get64(fh::SamplePeriodPs),
                               m_c.derived.TimeDivNs);
    }

    // Digits of the left-edge frequency (cursors false) and of the cursor frequencies.
    int sweepDigits(double rate, bool cursors) const {
        if (rate < 0) return 2;
        const double span = static_cast<double>(m_f.h.get64(fh::SweepSpan));
        const double q = (static_cast<double>(m_f.h.get64(fh::SweepStart)) + span) / span;
        const double length = cursors ? m_c.geometry.PlotWidth * q * sweepPrecisionScale()
                                      : (static_cast<double>(m_f.h[fh::CaptureLength]) -
                                         static_cast<double>(m_f.h[fh::PreTrigger])) *
                                            q;
        if (!(length > 0)) return cursors ? 3 : 2;
        const int k = static_cast<int>(roundAway(std::log10(length))) + 1;
        return cursors ? std::clamp(k, 3, 8) : std::min(k, 8);
    }

    void statusRow() {
        const auto& s = m_c.state;
        const auto& d = m_c.derived;
        const auto& h = m_f.h;
        if (d.AnalyzerOn) {
            const std::uint32_t curve = s.analyzer.AA ? m_colors.ColorAaGraph1 : m_colors.ColorNaAmpl;
            const double uvA1 = static_cast<double>(d.MicroVoltsA1);
            if (s.analyzer.AA) {
                put(0, 0, curve) << num(uvA1 * 8, core::UnitType::Voltage, -2) << "pp max";
                const int zo = core::kAaZo[static_cast<std::size_t>(std::clamp(s.analyzer.AaZo, 0, 3))];
                put(2, 0, curve) << "Antenna Analyzer - " << zo << " Ohm";
            } else {
                put(0, 0, curve) << "Ref  " << num(uvA1 * 8 * 0.25, core::UnitType::Voltage, -2) << "rms";
                put(4, 0, curve) << "Network Analyzer";
            }
            double span = static_cast<double>(h.get64(fh::SweepSpan));
            if (span == 0) span = sweepSpanSettingMilliHz(s.generator);
            Slot t = put(8, 0, curve);
            t << "span " << num(span * 0.001, core::UnitType::Frequency, -5);
            if (analyzerZoom(s) > 1) t << ":" << analyzerZoom(s);
            return;
        }

        put(0, 0, m_colors.ColorA1) << num(static_cast<double>(d.MicroVoltsA1), core::UnitType::Voltage, 0);
        if (s.scope.A2.shown)
            put(1, 0, m_colors.ColorA2)
                << num(static_cast<double>(d.MicroVoltsA2), core::UnitType::Voltage, 0);
        Slot t = put(3, 0, m_colors.ColorGridFrame);
        t << num(static_cast<double>(d.TimeDivNs), core::UnitType::Time, -3);
        if (h[fh::PeakDetect] != 0) t << "  PD";
        if (h[fh::HiResFactor] >= 2) t << "  HR  " << h[fh::HiResFactor];
        if (h[fh::EtsState] == 2)
            t << "  ETS";
        else if (m_c.sinxActive)
            t << "  sin(x)/x";

        if (d.SweepActive) {
            put(7, 0, m_colors.ColorGridFrame) << "Sweep Mode";
        } else if (d.TriggerActive) {
            const int src = std::clamp(s.trigger.Src, 0, 5);
            Slot tr = put(7, 0, channelColor(m_colors, src));
            tr << "Trig. " << kTriggerTags[static_cast<std::size_t>(src)];
            if (src < 2) {
                const auto& ch = src == 0 ? s.scope.A1 : s.scope.A2;
                const double uv = static_cast<double>(src == 0 ? d.MicroVoltsA1 : d.MicroVoltsA2);
                const double level = std::clamp<double>(
                    static_cast<double>(roundAway(src == 0 ? s.trigger.Lev_A1 : s.trigger.Lev_A2)), 0, 65536);
                tr << num(uv * 8 / 65536 * (level - ch.Zero), core::UnitType::Voltage, -4);
            } else {
                const double mv = src < 5 ? d.ThresholdD123mV : d.ThresholdD4mV;
                tr << num(mv * 1000.0, core::UnitType::Voltage, -3);
            }
            if (s.trigger.TPLUS && d.tPlusEnabled) tr << "    T+";
        }
    }

    void row1(bool spectrum) {
        const auto& s = m_c.state;
        const auto& d = m_c.derived;
        const auto& h = m_f.h;
        const double t0 = m_f.t0(m_c.scrollPos);

        if (!spectrum) {
            Slot t = put(0, 1, m_colors.ColorGridFrame);
            if (d.SweepActive) {
                const double rate = sweepRate(h);
                if (rate > 0)
                    t << num(sweepFrequencyAt(h, rate, t0), core::UnitType::Frequency,
                             -sweepDigits(rate, false));
                else
                    t << "...";
            } else {
                t << num(t0, core::UnitType::Time, -5);
            }
        }

        const bool meterOn = s.scope.fmMode != core::FreqMeterMode::Off && !d.AnalyzerOn;
        const bool periodMode = meterOn && s.scope.fmMode == core::FreqMeterMode::Period;
        if (s.display.Smpl_Info) {
            if (!periodMode) {
                const std::uint64_t analog = h.get64(fh::SamplePeriodPs);
                const std::uint64_t digital = h.get64(fh::DigitalPeriodPs);
                const std::uint64_t period = digital != 0 ? std::min(analog, digital) : analog;
                Slot fs = put(3, 1, m_colors.ColorExtraInfo);
                if (analog == 0)
                    fs << "Fs = ...";
                else
                    fs << "Fs = " << num(1e12 / static_cast<double>(period), core::UnitType::Frequency, -3);
                double divisions = 0;
                if (m_f.analyzerFrame()) {
                    if (h[fh::CaptureLength] != 0)
                        divisions = static_cast<double>(h[fh::AnalogCount]) / h[fh::CaptureLength] * 10 *
                                    analyzerZoom(s);
                } else if (d.TimeDivNs > 0) {
                    divisions =
                        h[fh::AnalogCount] * 0.001 * m_f.samplePeriodPs() / static_cast<double>(d.TimeDivNs);
                }
                put(6, 1, m_colors.ColorExtraInfo) << "Div = " << fixed(divisions, 2);
            }
            if (!meterOn)
                appendSampleCountText(m_out.add(readoutColumn(m_c.geometry, 9), readoutRow(m_c.geometry, 1),
                                                m_colors.ColorExtraInfo),
                                      h, m_c.sinxActive, "  ");
        }
        if (meterOn) frequencyMeter(periodMode);
    }

    void frequencyMeter(bool periodMode) {
        const auto& h = m_f.h;
        const device::CounterReading r =
            device::decodeCounter(h[fh::CounterStatus], h[fh::CounterEvents], h[fh::CounterTicks]);
        const char* tag = "";
        std::uint32_t color = m_colors.ColorExtraInfo;
        if (r.channel >= 0) {
            tag = r.throughTrigger ? "(T)" : kChannelTags[static_cast<std::size_t>(r.channel)];
            color = channelColor(m_colors, r.channel);
        }
        using Value = device::CounterReading::Value;
        if (periodMode) {
            Slot t = put(3, 1, color);
            t << "T" << tag << " = ";
            if (r.period == Value::NotValid)
                t << "...";
            else if (r.period == Value::Overflow)
                t << "ovf";
            else
                t << num(r.periodNs, core::UnitType::Time, 4);
            Slot n = put(9, 1, color);
            n << "N" << tag << " = ";
            if (r.count == Value::NotValid)
                n << "...";
            else if (r.count == Value::Overflow)
                n << "ovf";
            else
                n << groupedCount(r.edges, m_c.sources.thousandsSeparator);
            return;
        }
        if (r.frequencyValid) {
            put(9, 1, color) << "F" << tag << " = " << num(r.frequencyHz, core::UnitType::Frequency, -8);
        } else if (h[fh::FftFirst + 2] != 0) {
            put(9, 1, m_colors.ColorExtraInfo)
                << "F(ETS) = " << num(h.getReal(kFrameEtsFrequency), core::UnitType::Frequency, -7);
        } else {
            put(9, 1, color) << "F" << tag << " = ...";
        }
    }

    double cursorTime(std::int32_t x) const {
        return x * 0.002 * static_cast<double>(m_c.derived.TimeDivNs) + m_f.t0(m_c.scrollPos);
    }

    void cursorRow() {
        const auto& disp = m_c.state.display;
        if (disp.cursors == core::CursorMode::None) return;
        const std::uint32_t color = m_colors.ColorMarkers;
        const bool pair = disp.cursors == core::CursorMode::Double;
        if (m_c.derived.SweepActive) {
            sweepCursors(pair);
            return;
        }
        if (!pair) {
            const double t = cursorTime(disp.CursorX);
            put(0, 2, color) << "T = " << num(t, core::UnitType::Time, -5);
            if (std::abs(t) <= 0.01)
                put(9, 2, color) << "1/T = ...";
            else
                put(9, 2, color) << "1/T = " << num(1e9 / std::abs(t), core::UnitType::Frequency, -5);
            return;
        }
        const double ta = cursorTime(disp.CursorX1), tb = cursorTime(disp.CursorX2);
        const double t1 = std::min(ta, tb), t2 = std::max(ta, tb), dt = t2 - t1;
        if (m_c.state.system.Refl_Cursors) {
            const double vf = m_c.state.system.Vel_Factor;
            const double length = dt * 299792458.0 * 1e-9 * vf / 1000.0;
            put(0, 2, color) << "dT = " << num(dt, core::UnitType::Time, -4);
            put(3, 2, color) << "VF = " << fixed(vf * 0.1, 1) << " %";
            put(6, 2, color) << "dL = " << fixed(length, 2) << " m";
            put(9, 2, color) << "dL(refl.) = " << fixed(length / 2, 2) << " m";
            return;
        }
        put(0, 2, color) << "T1 = " << num(t1, core::UnitType::Time, -5);
        put(3, 2, color) << "T2 = " << num(t2, core::UnitType::Time, -5);
        put(6, 2, color) << "dT = " << num(dt, core::UnitType::Time, -4);
        if (disp.CursorX1 == disp.CursorX2 || !(dt > 0))
            put(9, 2, color) << "1/dT = ...";
        else
            put(9, 2, color) << "1/dT = " << num(1e9 / dt, core::UnitType::Frequency, -4);
    }

    double cursorFrequency(double rate, std::int32_t x) const {
        const auto& h = m_f.h;
        const double left = sweepFrequencyAt(h, rate, m_f.t0(m_c.scrollPos));
        if (m_f.analyzerFrame())
            return x * 0.0002 * static_cast<double>(h.get64(fh::SweepSpan)) * 0.001 /
                       analyzerZoom(m_c.state) +
                   left;
        return sweepFrequencyAt(h, rate, cursorTime(x));
    }

    void sweepCursors(bool pair) {
        const auto& disp = m_c.state.display;
        const std::uint32_t color = m_colors.ColorMarkers;
        const double rate = sweepRate(m_f.h);
        const int digits = sweepDigits(rate, true);
        if (!pair) {
            if (rate < 0)
                put(0, 2, color) << "F = ...";
            else
                put(0, 2, color) << "F = "
                                 << num(cursorFrequency(rate, disp.CursorX), core::UnitType::Frequency,
                                        -digits);
            return;
        }
        if (rate < 0) {
            put(0, 2, color) << "F1 = ...";
            put(3, 2, color) << "F2 = ...";
            put(6, 2, color) << "dF = ...";
            put(9, 2, color) << "dF/F = ...";
            return;
        }
        const double fa = cursorFrequency(rate, disp.CursorX1), fb = cursorFrequency(rate, disp.CursorX2);
        const double f1 = std::min(fa, fb), f2 = std::max(fa, fb), df = f2 - f1;
        put(0, 2, color) << "F1 = " << num(f1, core::UnitType::Frequency, -digits);
        put(3, 2, color) << "F2 = " << num(f2, core::UnitType::Frequency, -digits);
        put(6, 2, color) << "dF = " << num(df, core::UnitType::Frequency, -4);
        // The relative width of the band: dF over its centre frequency, as the label reads.
        const double centre = (f1 + f2) / 2;
        if (df <= 1e-9 || !(centre > 0))
            put(9, 2, color) << "dF/F = ...";
        else
            put(9, 2, color) << "dF/F = " << fixed(df / centre, 2);
    }

    void channelRow(int channel) {
        const auto& s = m_c.state;
        const auto& ch = channel == 0 ? s.scope.A1 : s.scope.A2;
        if (!s.display.Measure || !ch.shown) return;
        if (channel == 0 ? m_c.spectrumA1 : m_c.spectrumA2) return; // the spectrum's own readouts
        const auto& h = m_f.h;
        const int row = 3 + channel;
        const std::uint32_t color = channel == 0 ? m_colors.ColorA1 : m_colors.ColorA2;
        const double scale = h[channel == 0 ? fh::ScaleA1 : fh::ScaleA2] * 8.0 / 65536.0;
        const double n = h[fh::AnalogCount];
        const std::int32_t p2p = h.signedWord(channel == 0 ? fh::PeakToPeakA1 : fh::PeakToPeakA2);
        // A channel the frame does not carry (an equivalent-time frame has one) has no figures.
        const bool inFrame = (h[fh::ChannelMask] & (1u << channel)) != 0;
        const bool invalid = n < 1 || p2p < 0 || !inFrame;
        const double sum = h.getReal(channel == 0 ? fh::SumA1 : fh::SumA2);
        const double sumSq = h.getReal(channel == 0 ? fh::SumSqA1 : fh::SumSqA2);
        const double zero = h[channel == 0 ? fh::ZeroA1 : fh::ZeroA2];

        if (invalid) {
            put(0, row, color) << "Vpp = ...";
            put(3, row, color) << "Vdc = ...";
        } else {
            put(0, row, color) << "Vpp = " << num(p2p * scale, core::UnitType::Voltage, -4);
            put(3, row, color) << "Vdc = " << num(scale * (sum / n - zero), core::UnitType::Voltage, -4);
        }

        const std::uint32_t standard = h[fh::VideoStandard];
        if (h[fh::StatusTriggerSource] == static_cast<std::uint32_t>(channel + 1) && standard >= 1 &&
            standard <= 3) {
            static constexpr std::array<const char*, 3> kVideo{"PAL/SECAM ", "NTSC ", "N = "};
            Slot t = put(6, row, color);
            t << kVideo[standard - 1];
            if (h[fh::VideoLine] != 0) t << h[fh::VideoLine];
        } else if (invalid) {
            put(6, row, color) << "Vrms = ...";
        } else {
            const double mean = sum / n;
            const double variance = sumSq / n - mean * mean;
            put(6, row, color) << "Vrms = "
                               << num(scale * std::sqrt(variance > 0 ? variance : 0.0),
                                      core::UnitType::Voltage, -4);
        }

        const auto& disp = s.display;
        const double uv =
            static_cast<double>(channel == 0 ? m_c.derived.MicroVoltsA1 : m_c.derived.MicroVoltsA2);
        if (disp.cursors == core::CursorMode::Single) {
            put(9, row, color) << "V = "
                               << num(uv * 8 * (65536.0 - disp.CursorY - ch.Zero) / 65536,
                                      core::UnitType::Voltage, -4);
        } else if (disp.cursors == core::CursorMode::Double) {
            put(9, row, color) << "dV = "
                               << num(uv * 8 * std::abs(double(disp.CursorY1) - disp.CursorY2) / 65536,
                                      core::UnitType::Voltage, -4);
        }
    }

    void analyzerFooter() {
        const auto& s = m_c.state;
        const auto& h = m_f.h;
        const std::uint32_t color = m_colors.ColorExtraInfo;
        const double points =
            static_cast<double>(h[fh::CaptureLength]) - static_cast<double>(h[fh::PreTrigger]);
        if (points == 0)
            put(0, 4, color) << "Fstep = ...";
        else
            put(0, 4, color) << "Fstep = "
                             << num(sweepSpanSettingMilliHz(s.generator) / points * 0.001,
                                    core::UnitType::Frequency, -4);
        const double k = h[fh::NarrowFilter] != 0 ? 1.87 : 0.88;
        if (h[fh::HiResFactor] == 0)
            put(3, 4, color) << "RBW = ...";
        else
            put(3, 4, color) << "RBW = " << num(k * 2e8 / h[fh::HiResFactor], core::UnitType::Frequency, -4);
        std::string_view file;
        if (s.analyzer.NA && !s.system.NA_Clbr_File.empty() && s.analyzer.NA_Use_Clbr)
            file = s.system.NA_Clbr_File;
        else if (s.analyzer.AA && !s.system.AA_Clbr_File.empty() && s.analyzer.AA_Use_Clbr)
            file = s.system.AA_Clbr_File;
        if (const auto slash = file.find_last_of("/\\"); slash != std::string_view::npos)
            file.remove_prefix(slash + 1);
        put(6, 4, color) << "Clbr. File - " << (file.empty() ? std::string_view("...") : file);
    }

    const ReadoutContext& m_c;
    TextList& m_out;
    Frame m_f;
    char m_dec;
    const core::ColorRoles& m_colors;
};

} // namespace

std::string& TextList::add(int x, int y, std::uint32_t color) {
    if (m_count < kCapacity) ++m_count;
    PlacedText& t = m_items[m_count - 1];
    t.x = x;
    t.y = y;
    t.color = color;
    t.text.clear();
    return t.text;
}

const PlacedText* TextList::find(std::string_view prefix) const {
    for (const PlacedText& t : *this)
        if (std::string_view(t.text).substr(0, prefix.size()) == prefix) return &t;
    return nullptr;
}

int readoutColumn(const ScreenGeometry& g, int ci) {
    const auto i = static_cast<std::size_t>(std::clamp(ci, 0, 9));
    return g.PlotLeft + static_cast<int>(kColumnDivs[i] * g.PixelsPerDivX);
}

int readoutRow(const ScreenGeometry& g, int row) {
    const int n = (g.PlotTop - 14) / 2;
    if (row <= 0) return n;
    return g.PlotTop + g.PlotHeight + n + 1 + (row - 1) * (n + 11);
}

int readoutFontHeight(const ScreenGeometry& g) {
    return g.CompactScreen ? 11 : 13;
}

void buildReadoutTexts(const ReadoutContext& c, TextList& out) {
    out.clear();
    Builder(c, out).run();
}

void appendSampleCountText(std::string& out, const core::FrameHeader& h, bool sinxActive,
                           const char* hiResGap) {
    const std::uint32_t analog = h[fh::AnalogCount];
    const std::uint32_t hiRes = h[fh::HiResFactor];
    Slot t(out);
    t << "Smpl = ";
    if (h[fh::PeakDetect] != 0)
        t << "2x" << analog << " PD";
    else if (hiRes >= 2)
        t << analog << " HR" << hiResGap << "2^" << roundAway(std::log2(hiRes));
    else
        t << analog;
    if (h[fh::DigitalCount] != analog) t << " (" << h[fh::DigitalCount] << ")";
    if (h[fh::EtsState] == 2)
        t << "  ETS";
    else if (sinxActive)
        t << "  sin(x)/x";
}

double sweepRate(const core::FrameHeader& h) {
    const double span = static_cast<double>(h.get64(fh::SweepSpan));
    const double points = static_cast<double>(h[fh::CaptureLength]) - static_cast<double>(h[fh::PreTrigger]);
    const double period = static_cast<double>(h.get64(fh::SamplePeriodPs));
    if (!(span > 0) || points == 0 || period == 0) return -1;
    return (span * 0.001 / points) / (period * 0.001);
}

double sweepFrequencyAt(const core::FrameHeader& h, double rate, double tNs) {
    const double start = static_cast<double>(h.get64(fh::SweepStart)) * 0.001;
    return tNs > 0 ? start + rate * tNs : start;
}

std::string triggerEventText(const core::FrameHeader& h, char decimalSeparator) {
    static constexpr std::array<const char*, 4> kKinds{"PUL ", "PER ", "RUNT ", "SLEW "};
    const std::uint32_t kind = h[fh::TPlusKind];
    if (kind < 1 || kind > 4) return {};
    std::string t = kKinds[kind - 1];
    const std::uint32_t value = h[fh::TPlusValue];
    t += value == kCounterOverflow ? std::string("...")
                                   : formatNumber(value * 5.0, core::UnitType::Time, 4, decimalSeparator);
    return t;
}

std::optional<TriggerEventLabel> triggerEventLabel(const ReadoutContext& c) {
    const auto& h = c.header;
    const auto& g = c.geometry;
    const auto& s = c.state;
    if (!s.display.Trig_T) return std::nullopt;
    std::string text = triggerEventText(h, c.sources.decimalSeparator);
    if (text.empty()) return std::nullopt;
    const std::uint32_t source = h[fh::TriggerSource]; // 1..6
    if (source < 1 || source > 6) return std::nullopt;
    const int channel = static_cast<int>(source) - 1;
    bool shown = false;
    double code = 0;
    if (channel < 2) {
        const auto& ch = channel == 0 ? s.scope.A1 : s.scope.A2;
        shown = ch.shown;
        const double current =
            static_cast<double>(channel == 0 ? c.derived.MicroVoltsA1 : c.derived.MicroVoltsA2);
        const double captureScale = h[channel == 0 ? fh::ScaleA1 : fh::ScaleA2];
        const double captureZero = h[channel == 0 ? fh::ZeroA1 : fh::ZeroA2];
        const double level = static_cast<double>(h[fh::TriggerLevelCode]) - captureZero;
        code = ch.Zero + (current > 0 ? static_cast<double>(roundAway(level * captureScale / current)) : 0.0);
    } else {
        const bool lane[4] = {s.scope.CH_D1, s.scope.CH_D2, s.scope.CH_D3, s.scope.CH_D4};
        shown = lane[channel - 2];
        code = 0x1000 + (channel - 2) * 0x2000;
    }
    if (!shown) return std::nullopt;
    const double pps = pixelsPerSample(g.PixelsPerDivX, h.get64(fh::SamplePeriodPs), c.derived.TimeDivNs);
    TriggerEventLabel label;
    label.text = std::move(text);
    label.channel = channel;
    label.x = g.PlotLeft +
              roundPx((static_cast<double>(h[fh::PreTrigger]) - static_cast<double>(c.scrollPos)) * pps);
    label.y = g.PlotTop + roundPx((65536.0 - code) * g.PlotHeight / 65536.0);
    return label;
}

} // namespace kx::display
