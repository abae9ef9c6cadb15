// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated generator output straight from a register image: what the registers mean in volts
// and hertz, and the hints (period, quiet stretches, slope) that the trigger search and the
// frequency counter rely on.
#include "Generator.h"
#include "Factory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace kx::sim;

constexpr double kPi = 3.14159265358979323846;
constexpr Picoseconds kMs = 1'000'000'000;

std::uint64_t wordOf(double hertz) {
    return static_cast<std::uint64_t>(std::llround(hertz * 281474976710656.0 / 400e6));
}

// A register image as the program would send it, field by field.
struct Image {
    RegisterFile r{};
    Factory factory;

    Image() {
        r[reg::kA2Gain] = 9;        // A2 0.5 V/div
        set16(reg::kGenLoad, 4194); // no external load at that range
        set16(reg::kGenAwgMark, kAwgNoMark);
        shape(0, 5);
        level(0.0);
    }
    void set16(std::size_t off, std::uint64_t v) {
        for (int i = 0; i < 2; ++i)
            r[off + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    void set32(std::size_t off, std::uint64_t v) {
        for (int i = 0; i < 4; ++i)
            r[off + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    void set48(std::size_t off, std::uint64_t v) {
        for (int i = 0; i < 6; ++i)
            r[off + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    void function(unsigned f, unsigned source = 0, bool invert = false) {
        r[reg::kGenFunc] = static_cast<std::uint8_t>(f | (source << 3) | (invert ? 0x80 : 0));
    }
    void shape(unsigned main, unsigned modulation) {
        r[reg::kGenShape] = static_cast<std::uint8_t>(main | (modulation << 3));
    }
    void frequency(double hertz) { set48(reg::kGenFreq, wordOf(hertz)); }
    void modulationFrequency(double hertz) { set48(reg::kGenModFreq, wordOf(hertz)); }
    void amplitude(unsigned code) { set16(reg::kGenAmp, code); }
    // Offset code of a lowest level, computed from the shipped table as the program does.
    void level(double volts) {
        const CalibrationTable t = factory.systemTable();
        const double z = regS16(t, 0), n = regS16(t, 2), p = regS16(t, 4);
        const double v = volts * 1e4;
        const double b = volts < 0 ? z - n : p - z;
        set16(reg::kGenOffset, static_cast<std::uint64_t>(std::lround((v - z) * 24576.0 / b + 32768.0)));
    }
    void pulse(Picoseconds width, Picoseconds period) {
        set32(reg::kGenPulsePeriod, static_cast<std::uint64_t>(period / 5000 - 1));
        set32(reg::kGenPulseWidth, static_cast<std::uint64_t>(width / 5000));
    }
};

struct Bench {
    Generator gen;
    Image image;
    void apply(Picoseconds t = 0, SweepClock sweep = {}) { gen.configure(image.r, image.factory, t, sweep); }
};

// Rising zero crossings of v - mid in [from, to), interpolated, in seconds.
std::vector<double> crossings(const Generator& g, double mid, Picoseconds from, Picoseconds to,
                              Picoseconds step) {
    std::vector<double> out;
    double last = g.volts(from) - mid;
    for (Picoseconds t = from + step; t < to; t += step) {
        const double v = g.volts(t) - mid;
        if (last < 0 && v >= 0)
            out.push_back((static_cast<double>(t - step) + step * last / (last - v)) * 1e-12);
        last = v;
    }
    return out;
}

double measuredHertz(const Generator& g, double mid, Picoseconds from, Picoseconds to, Picoseconds step) {
    const std::vector<double> c = crossings(g, mid, from, to, step);
    if (c.size() < 2) return 0.0;
    return static_cast<double>(c.size() - 1) / (c.back() - c.front());
}

TEST(Generator, LevelsAndAmplitudeComeOutInVolts) {
    struct Case {
        const char* what;
        double low;
        unsigned amplitude;
        unsigned loadCode;
        double expectedLow, expectedHigh;
    };
    const std::vector<Case> cases = {
        {"0 .. 2 V", 0.0, 2000, 4194, 0.0, 2.0},
        {"-2.5 V lowest", -2.5, 1000, 4194, -2.5, -1.5},
        {"3 V lowest", 3.0, 300, 4194, 3.0, 3.3},
        {"50 ohm load halves all", -1.0, 2000, 2097, -0.5, 0.5},
    };
    for (const Case& c : cases) {
        Bench b;
        b.image.shape(5, 5); // constant level: the top of the waveform
        b.image.level(c.low);
        b.image.amplitude(c.amplitude);
        b.image.set16(reg::kGenLoad, c.loadCode);
        b.apply();
        EXPECT_NEAR(b.gen.volts(kMs), c.expectedHigh, 2e-3) << c.what;
        b.image.amplitude(0);
        b.apply();
        EXPECT_NEAR(b.gen.volts(kMs), c.expectedLow, 2e-3) << c.what;
    }
}

TEST(Generator, AwgAmplitudeCodeCountsTo4095) {
    Bench b;
    b.image.function(6);
    b.image.amplitude(4095); // 100 %: 4 V
    b.image.level(-1.0);
    AwgProgram p{};
    p[0] = 4095;               // OUT 4095
    p[1] = (2u << 12) | 4095u; // STOP 4095
    std::vector<std::uint8_t> bytes(2 * p.size());
    for (std::size_t i = 0; i < p.size(); ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(p[i]);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(p[i] >> 8);
    }
    b.gen.programWritten(bytes, 0);
    b.apply();
    // Not run yet: the output rests at its lowest level.
    EXPECT_NEAR(b.gen.volts(kMs), -1.0, 2e-3);
    b.image.r[reg::kGenShape] |= 0x80; // RUN
    b.apply(kMs);
    EXPECT_NEAR(b.gen.volts(2 * kMs), 3.0, 2e-3);
}

TEST(Generator, PhaseModulationShiftsByTheIndex) {
    // A constant modulating signal (+1): index 1 is 90 degrees ahead, inverted 90 degrees behind.
    constexpr double kHertz = 1000.0;
    const Picoseconds quarter = kMs / 4;
    for (const bool invert : {false, true}) {
        Bench plain;
        plain.image.frequency(kHertz);
        plain.image.amplitude(2000);
        plain.apply();
        Bench pm;
        pm.image = plain.image;
        pm.image.function(4, 0, invert);
        pm.image.set48(reg::kGenStep, 8196); // index 1 (x 90 degrees)
        pm.apply();
        for (const Picoseconds t : {Picoseconds{3 * kMs + 123456}, Picoseconds{7 * kMs + 987654}})
            EXPECT_NEAR(pm.gen.volts(t), plain.gen.volts(invert ? t - quarter : t + quarter), 1e-3) << invert;
    }
}

TEST(Generator, FrequencyModulationDeviatesByTheDepthWord) {
    // Mod_Param 500 in the 10 kHz range: 5 kHz deviation. A constant modulating signal moves the
    // carrier there for good; a 50 Hz sine swings it between F - 5 kHz and F + 5 kHz.
    Bench b;
    b.image.function(3);
    b.image.frequency(20000.0);
    b.image.amplitude(2000);
    b.image.set48(reg::kGenStep,
                  static_cast<std::uint64_t>(std::trunc(500 * 1073741824.0 * 1280.0 / (1e8 * 2047.0) + 0.5)));
    b.apply();
    EXPECT_NEAR(measuredHertz(b.gen, 1.0, 0, 10 * kMs, 200'000), 25000.0, 5.0);
    b.image.function(3, 0, true);
    b.apply(20 * kMs);
    EXPECT_NEAR(measuredHertz(b.gen, 1.0, 21 * kMs, 31 * kMs, 200'000), 15000.0, 5.0);

    b.image.function(3);
    b.image.shape(0, 0);
    b.image.modulationFrequency(50.0);
    b.apply(40 * kMs);
    // Around the crest of the modulating sine (a quarter period after it starts) and its trough.
    EXPECT_NEAR(
        measuredHertz(b.gen, 1.0, 40 * kMs + 4500 * kMs / 1000, 40 * kMs + 5500 * kMs / 1000, 100'000),
        25000.0, 100.0);
    EXPECT_NEAR(
        measuredHertz(b.gen, 1.0, 40 * kMs + 14500 * kMs / 1000, 40 * kMs + 15500 * kMs / 1000, 100'000),
        15000.0, 100.0);
}

TEST(Generator, AmplitudeAndSumModulationKeepWithinTheAmplitude) {
    // Constant carrier (held at its top) and the pulse generator as the modulating signal: the
    // output steps between two levels set by the depth.
    struct Case {
        const char* what;
        unsigned function;
        unsigned mod;
        bool invert;
        double high, low; // while the pulse is high / low, as fractions of the amplitude
    };
    const unsigned amp = 2000;
    const auto amWord = static_cast<std::uint64_t>(std::trunc(1000 * 32.76775 * amp / 4096.0 + 0.5)); // 100 %
    const auto sumWord = static_cast<std::uint64_t>(std::trunc(500 * 32.76775 + 0.5));                // 50 %
    const std::vector<Case> cases = {
        {"AM 100 %", 2, 0, false, 1.0, 0.5},
        {"AM inverted", 2, 0, true, 0.5, 1.0},
        {"SUM 50 %", 5, 1, false, 0.875, 0.625},
    };
    for (const Case& c : cases) {
        Bench b;
        b.image.function(c.function, 7, c.invert);
        b.image.shape(6, 5);
        b.image.amplitude(amp);
        b.image.set48(reg::kGenStep, c.mod == 0 ? amWord : sumWord);
        b.image.pulse(10'000'000, 40'000'000); // 10 us of 40 us
        b.apply();
        EXPECT_NEAR(b.gen.volts(5'000'000), c.high * 2.0, 2e-3) << c.what;
        EXPECT_NEAR(b.gen.volts(25'000'000), c.low * 2.0, 2e-3) << c.what;
    }
}

TEST(Generator, PhaseRunsOnAcrossNewWordsAndSynchronisesOnRequest) {
    Bench b;
    b.image.frequency(1000.0);
    b.image.amplitude(2000);
    b.apply();
    const Picoseconds t = 3 * kMs + 217'000'000;
    const double before = b.gen.volts(t);
    b.image.frequency(1700.0);
    b.apply(t);
    EXPECT_NEAR(b.gen.volts(t), before, 1e-6);
    // Phase synchronisation: a sine starts at its middle, rising (the load code rounds k to 0.9999).
    b.image.r[reg::kGenShape] |= 0x40;
    b.apply(t);
    EXPECT_NEAR(b.gen.volts(t), 1.0, 2e-4);
    EXPECT_GT(b.gen.volts(t + 1'000'000), 1.0);
}

TEST(Generator, SweepStepsOncePerSampleClockFromEachRestart) {
    // 10 kHz + 40 kHz over 5000 sample clocks of 2 us (10 ms).
    Bench b;
    b.image.function(1);
    b.image.frequency(10000.0);
    b.image.amplitude(2000);
    b.image.set48(reg::kGenStep, wordOf(40000.0 / 5000));
    const SweepClock clock{2'000'000, 5000};
    b.apply(0, clock);
    const Picoseconds start = 50 * kMs;
    b.gen.restartSweep(start);
    EXPECT_NEAR(measuredHertz(b.gen, 1.0, start, start + kMs / 2, 100'000), 11000.0, 300.0);
    EXPECT_NEAR(measuredHertz(b.gen, 1.0, start + 95 * kMs / 10, start + 10 * kMs, 20'000), 49000.0, 300.0);
    // Without a restart it starts over after the span.
    EXPECT_NEAR(measuredHertz(b.gen, 1.0, start + 10 * kMs, start + 10 * kMs + kMs / 2, 100'000), 11000.0,
                300.0);
}

TEST(Generator, MarkReplacesD1OnlyWhileAnAddressIsSet) {
    Bench b;
    b.apply();
    EXPECT_EQ(b.gen.mark(), nullptr);
    b.image.set16(reg::kGenAwgMark, 1);
    b.image.r[reg::kGenShape] |= 0x80;
    b.apply();
    ASSERT_NE(b.gen.mark(), nullptr);
    // Empty memory: OUT 0 at every address, one 5 ns clock each; address 1 is the second clock of
    // every 2048.
    EXPECT_EQ(b.gen.mark()->volts(2500), 0.0);
    EXPECT_GT(b.gen.mark()->volts(7500), 3.0);
    EXPECT_EQ(b.gen.mark()->volts(12500), 0.0);
    EXPECT_GT(b.gen.mark()->volts(2048 * 5000 + 7500), 3.0);
}

TEST(Generator, FrequencyModulationByLogicInputsAndTheAwg) {
    // 5 kHz deviation around 20 kHz; the modulating signal is +1 or -1 for long stretches, so the
    // carrier sits at 25 kHz or 15 kHz there.
    const auto fmWord =
        static_cast<std::uint64_t>(std::trunc(500 * 1073741824.0 * 1280.0 / (1e8 * 2047.0) + 0.5));
    auto image = [&](unsigned source) {
        Image i;
        i.function(3, source);
        i.frequency(20000.0);
        i.amplitude(2000);
        i.set48(reg::kGenStep, fmWord);
        return i;
    };
    // D2: a 100 Hz clock, high for the first 5 ms of every 10 ms.
    const Clock d2(10 * kMs, 5 * kMs);
    Bench b;
    b.image = image(4);
    b.apply();
    GeneratorInputs inputs;
    inputs.digital[1] = &d2;
    b.gen.connect(inputs);
    EXPECT_NEAR(measuredHertz(b.gen, 1.0, 20 * kMs + kMs, 20 * kMs + 4 * kMs, 100'000), 25000.0, 10.0);
    EXPECT_NEAR(measuredHertz(b.gen, 1.0, 20 * kMs + 6 * kMs, 20 * kMs + 9 * kMs, 100'000), 15000.0, 10.0);
    // Far on, and read out of order: the same stretches give the same frequencies.
    EXPECT_NEAR(measuredHertz(b.gen, 1.0, 900 * kMs + 6 * kMs, 900 * kMs + 9 * kMs, 100'000), 15000.0, 10.0);
    EXPECT_NEAR(measuredHertz(b.gen, 1.0, 500 * kMs + kMs, 500 * kMs + 4 * kMs, 100'000), 25000.0, 10.0);

    // The AWG at code 4095 (+1) and at code 0 (-1).
    for (const auto& [code, hertz] :
         std::vector<std::pair<unsigned, double>>{{4095, 25000.0}, {0, 15000.0}}) {
        Bench a;
        a.image = image(8);
        std::vector<std::uint8_t> bytes(4096);
        bytes[0] = static_cast<std::uint8_t>(code);
        bytes[1] = static_cast<std::uint8_t>((2u << 4) | (code >> 8)); // STOP code
        a.gen.programWritten(bytes, 0);
        a.image.r[reg::kGenShape] |= 0x80;
        a.apply();
        EXPECT_NEAR(measuredHertz(a.gen, 1.0, kMs, 4 * kMs, 100'000), hertz, 10.0) << code;
    }
}

TEST(Generator, SystemCalibrationSineSpansZeroToThreeVolts) {
    // Amplitude code 3000 from the offset code of 0 V, 25 cycles in a record of 10000 x 501 x 5 ns.
    Bench b;
    b.image.shape(0, 5);
    b.image.set48(reg::kGenFreq, static_cast<std::uint64_t>(std::trunc(
                                     1e9 / (501.0 * 10000.0 * 5.0) * 25.0 * 703687.44177664 + 0.5)));
    b.image.amplitude(3000);
    b.apply();
    double low = 1e9, high = -1e9;
    for (Picoseconds t = 0; t < 2 * kMs; t += 1'000'000) {
        low = std::min(low, b.gen.volts(t));
        high = std::max(high, b.gen.volts(t));
    }
    EXPECT_NEAR(low, 0.0, 2e-3);
    EXPECT_NEAR(high, 3.0, 2e-3);
    EXPECT_NEAR(b.gen.mean(), 1.5, 2e-3);
}

TEST(Generator, LogicInputWiredToItsOwnOutputDoesNotModulateIt) {
    // As with A1 and A2: the loop is open, the modulating signal is 0.
    const auto amWord =
        static_cast<std::uint64_t>(std::trunc(1000 * 32.76775 * 2000 / 4096.0 + 0.5)); // 100 %
    Bench am;
    am.image.function(2, 3); // AM by D1
    am.image.shape(6, 5);
    am.image.amplitude(2000);
    am.image.set48(reg::kGenStep, amWord);
    am.apply();
    GeneratorInputs inputs;
    inputs.digital[0] = &am.gen;
    am.gen.connect(inputs);
    EXPECT_NEAR(am.gen.volts(kMs), 1.5, 2e-3);
    EXPECT_NEAR(am.gen.mean(), 1.5, 2e-3);
    EXPECT_EQ(am.gen.stableUntil(kMs), kForever);

    Bench fm;
    fm.image.function(3, 3); // FM by D1, 5 kHz deviation
    fm.image.frequency(20000.0);
    fm.image.amplitude(2000);
    fm.image.set48(reg::kGenStep, static_cast<std::uint64_t>(
                                      std::trunc(500 * 1073741824.0 * 1280.0 / (1e8 * 2047.0) + 0.5)));
    fm.apply();
    inputs.digital[0] = &fm.gen;
    fm.gen.connect(inputs);
    EXPECT_NEAR(measuredHertz(fm.gen, 1.0, kMs, 4 * kMs, 100'000), 20000.0, 10.0);
}

TEST(Generator, RunningIntegralOfAnInputThatDoesNotRepeat) {
    // A level that steps from -1 to +1 at 3 ms and stays: integrated on demand, also backwards.
    class Step final : public Signal {
    public:
        double volts(Picoseconds t) const override { return t < 3 * kMs ? -1.0 : 1.0; }
        double mean() const override { return 1.0; }
        Picoseconds stableUntil(Picoseconds t) const override { return t < 3 * kMs ? 3 * kMs : kForever; }
    } step;
    SignalIntegral integral;
    integral.reset(
        &step, [&](Picoseconds t) { return step.volts(t); }, kMs);
    EXPECT_NEAR(integral.at(2 * kMs), -1e-3, 1e-12);
    EXPECT_NEAR(integral.at(10 * kMs), -2e-3 + 7e-3, 1e-12);
    EXPECT_NEAR(integral.at(4 * kMs), -2e-3 + 1e-3, 1e-12);
    EXPECT_NEAR(integral.at(7'000 * kMs), -2e-3 + 6.997, 1e-9);
    EXPECT_NEAR(integral.at(5 * kMs), -2e-3 + 2e-3, 1e-12);
}

TEST(Generator, NoiseWalkStepsAreTheNoise) {
    // Steps of the walk have the deviation asked for, and the walk reads the same however it is reached.
    double sum = 0.0, squares = 0.0;
    const int n = 20000;
    for (int k = 0; k < n; ++k) {
        const double d = randomWalk(7, k + 1, 0.5) - randomWalk(7, k, 0.5);
        sum += d;
        squares += d * d;
    }
    EXPECT_NEAR(sum / n, 0.0, 0.02);
    EXPECT_NEAR(std::sqrt(squares / n), 0.5, 0.02);
    EXPECT_EQ(randomWalk(7, 123456789, 0.5), randomWalk(7, 123456789, 0.5));
    EXPECT_NE(randomWalk(7, 123456789, 0.5), randomWalk(8, 123456789, 0.5));
}

// ---- The hints of the Signal interface must hold, or the trigger search and the counter miss edges.

struct HintCase {
    const char* what;
    std::function<void(Image&)> set;
};

TEST(Generator, HintsHoldForEveryFunction) {
    const std::vector<HintCase> cases = {
        {"sine", [](Image& i) { i.frequency(1234.5); }},
        {"triangle", [](Image& i) { i.frequency(123456.0), i.shape(4, 5); }},
        {"ramp", [](Image& i) { i.frequency(3000.0), i.shape(1, 5); }},
        {"constant", [](Image& i) { i.shape(5, 5); }},
        {"pulse",
         [](Image& i) {
             i.function(7);
             i.pulse(3'000'000, 10'000'000);
         }},
        {"sweep",
         [](Image& i) {
             i.function(1);
             i.frequency(1000.0);
             i.set48(reg::kGenStep, wordOf(20.0));
         }},
        {"FM sine by sine",
         [](Image& i) {
             i.function(3);
             i.shape(0, 0);
             i.frequency(5000.0);
             i.modulationFrequency(300.0);
             i.set48(reg::kGenStep, 3000);
         }},
        {"AM constant carrier by sine",
         [](Image& i) {
             i.function(2);
             i.shape(6, 0);
             i.modulationFrequency(700.0);
             i.set48(reg::kGenStep, 9000);
         }},
        {"AM by the pulse generator",
         [](Image& i) {
             i.function(2, 7);
             i.shape(6, 5);
             i.set48(reg::kGenStep, 9000);
             i.pulse(2'000'000, 7'000'000);
         }},
        {"AWG", [](Image& i) { i.function(6), i.set32(reg::kGenAwgDiv, 99), i.r[reg::kGenShape] |= 0x80; }},
    };
    for (const HintCase& c : cases) {
        Bench b;
        b.image.amplitude(2000);
        b.image.level(-0.5);
        c.set(b.image);
        // AWG: a short staircase.
        AwgProgram p{};
        p[0] = 100, p[1] = 1000, p[2] = 3000, p[3] = (4u << 12) | 5u, p[4] = (9u << 12);
        std::vector<std::uint8_t> bytes(2 * p.size());
        for (std::size_t i = 0; i < p.size(); ++i) {
            bytes[2 * i] = static_cast<std::uint8_t>(p[i]);
            bytes[2 * i + 1] = static_cast<std::uint8_t>(p[i] >> 8);
        }
        b.gen.programWritten(bytes, 0);
        b.apply(0, {5000, 100000});
        const Generator& g = b.gen;
        const double period = g.periodPs();
        const double slope = g.maxSlope();
        double sum = 0.0;
        int n = 0;
        for (Picoseconds t = 1'000'000; t < 21 * kMs; t += 7'919'113) {
            const double v = g.volts(t);
            sum += v;
            ++n;
            if (period > 0.0) {
                const auto p1 = static_cast<Picoseconds>(std::llround(period));
                EXPECT_NEAR(g.volts(t + p1), v, 0.02) << c.what << " period at " << t;
            }
            const Picoseconds quiet = g.stableUntil(t);
            if (quiet > t) {
                const Picoseconds last = std::min<Picoseconds>(quiet, t + 10 * kMs) - 1;
                EXPECT_DOUBLE_EQ(g.volts(last), v) << c.what << " quiet from " << t;
                EXPECT_DOUBLE_EQ(g.volts(t + (last - t) / 2), v) << c.what << " quiet from " << t;
            }
            if (std::isfinite(slope)) {
                for (const Picoseconds d : {Picoseconds{1000}, Picoseconds{100'000}})
                    EXPECT_LE(std::abs(g.volts(t + d) - v), slope * d * 1e-12 + 1e-9)
                        << c.what << " slope at " << t;
            }
        }
        if (period > 0.0) {
            // The mean over whole periods is what AC coupling removes.
            const auto p1 = static_cast<Picoseconds>(std::llround(period));
            double m = 0.0;
            const int steps = 4000;
            for (int i = 0; i < steps; ++i) m += g.volts(5 * kMs + p1 * i / steps);
            EXPECT_NEAR(m / steps, g.mean(), 0.01) << c.what << " mean";
        }
        EXPECT_TRUE(n > 0);
        (void)sum;
    }
}

} // namespace
