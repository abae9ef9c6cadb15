// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/GeneratorRegisters.h"

#include <gtest/gtest.h>

namespace kx::generator {
namespace {

using core::GeneratorState;
using core::GenFunction;
using core::GenShape;

class GeneratorRegistersTest : public ::testing::Test {
protected:
    GeneratorRegistersTest() { gen.On = true; }
    GeneratorRegisters compute() { return computeGeneratorRegisters(gen, ctx, table); }

    GeneratorState gen;
    GeneratorContext ctx;
    core::CalTable table = core::defaultSystemCalTable();
};

TEST_F(GeneratorRegistersTest, PlainFrequencyWord) {
    gen.FMult = 2;
    gen.FFast = 1000;
    gen.FSlow = 500;
    GeneratorRegisters r = compute();
    EXPECT_EQ(r.freqWord, 70403928550u); // 100.05 kHz * 2^48 / 400 MHz
    EXPECT_EQ(r.stepWord, 0u);
    EXPECT_EQ(r.funcReg, 0);
    EXPECT_EQ(r.shapeReg, 0 | (5 << 3)); // sine, no modulation shape

    // 200 MHz doubling only on the 100 M range in debug mode.
    gen.FMult = 4;
    gen.Gen_200MHz = true;
    EXPECT_EQ(compute().freqWord, 7040392854975u); // 10.005 MHz
    ctx.debugMode = true;
    EXPECT_EQ(compute().freqWord, 14080785709951u); // F doubled before rounding

    gen.FFast = 0;
    gen.FSlow = 0;
    EXPECT_EQ(compute().shapeReg & 7, 5) << "0 Hz is a constant level";
    gen.FMult = core::kFMultNoise;
    EXPECT_EQ(compute().shapeReg & 7, 7) << "noise, even at 0 Hz";
}

TEST_F(GeneratorRegistersTest, SweepWords) {
    gen.Function = GenFunction::Sweep;
    ctx.postTrigger = 4000;
    GeneratorRegisters r = compute();
    EXPECT_EQ(r.freqWord, 7036874418u); // start 10 kHz
    EXPECT_EQ(r.stepWord, 15832967u);   // 90 kHz over 4000 samples
    EXPECT_EQ(r.funcReg, 1);
    ctx.doubledSampling = true;
    EXPECT_EQ(compute().stepWord, 2u * 15832967u);

    gen.FSweep = gen.FStart;
    EXPECT_EQ(compute().stepWord, 0u);
    gen.FStart = gen.FSweep = 0;
    EXPECT_EQ(compute().shapeReg & 7, 5);
    ctx.postTrigger = 0; // no record: no step, and no division by zero
    gen.FSweep = 10000;
    EXPECT_EQ(compute().stepWord, 0u);
}

TEST_F(GeneratorRegistersTest, ModulationWords) {
    gen.Function = GenFunction::Modulation;
    struct Case {
        int type;
        int src;
        int param;
        std::uint64_t step;
        std::uint8_t func;
    };
    const Case cases[] = {
        {core::kModAm, 0, 700, 11200, 2},               // uses the amplitude code 2000
        {core::kModFm, 0, 700, 4700, 3},                //
        {core::kModFm, 1, 700, 7516, 3 | (1 << 3)},     // external: 2^30 / 1e8
        {core::kModPm, 0, 1000, 81960, 4},              // 8196, not 8192
        {core::kModPm, 1, 1000, 0x1FFFF, 4 | (1 << 3)}, // 131072 is limited
        {core::kModSum, 2, 700, 91750, 5 | (2 << 3)},
        {core::kModSum, 7, 700, 22937, 5 | (7 << 3)}, // pulse source is not "external"
    };
    for (const auto& c : cases) {
        gen.Mod_Type = c.type;
        gen.Mod_Src = c.src;
        gen.Mod_Param = c.param;
        const GeneratorRegisters r = compute();
        EXPECT_EQ(r.stepWord, c.step) << c.type << "/" << c.src;
        EXPECT_EQ(r.funcReg, c.func) << c.type << "/" << c.src;
        EXPECT_EQ(r.modFreqWord, c.src == 0 ? 70368744u : 0u);
    }
    gen.Mod_Type = core::kModFm;
    gen.Mod_Src = 0;
    gen.DF_Mult = 1;
    gen.Inv = 1;
    EXPECT_EQ(compute().stepWord, 46999u);
    EXPECT_EQ(compute().funcReg, 0x83);
    EXPECT_EQ(compute().shapeReg, 0) << "sine carrier, sine modulation";

    gen.Mod_Type = core::kModAm;
    gen.FFast = gen.FSlow = 0;
    gen.MF_Shape = 3;
    EXPECT_EQ(compute().shapeReg, 6 | (3 << 3));
    gen.MF_Fast = gen.MF_Slow = 0;
    EXPECT_EQ(compute().shapeReg, 6 | (5 << 3)) << "no modulation frequency: constant";
    ctx.analyzerOn = true;
    EXPECT_EQ(compute().shapeReg, 6) << "modulation shape bits only without analyzer";
}

TEST_F(GeneratorRegistersTest, LevelLimiting) {
    struct Case {
        GenFunction fn;
        int mode;
        int dc;
        int ampl;
        int amplitude;
        double lowest;
    };
    const Case cases[] = {
        {GenFunction::Plain, 1, 3000, 2000, 600, 2700.0}, // high = 300
        {GenFunction::Plain, 1, -2500, 2000, 1000, -3000.0},
        {GenFunction::Plain, 1, 0, 9000, 4000, -2000.0}, // clamped to 4000 first
        {GenFunction::Plain, 0, 2000, 2000, 1300, 2000.0},
        {GenFunction::Plain, 0, 3300, 2000, 0, 3300.0},
        {GenFunction::Plain, 2, -2000, 2000, 1000, -3000.0},
        {GenFunction::Plain, 3, 3000, 2000, 600, 2700.0},
        // Room below is short: twice the room, not the request.
        {GenFunction::Plain, 3, -2900, 4000, 200, -3000.0},
        {GenFunction::Awg, 1, 3000, 4000, 4000, 3000.0},
        {GenFunction::Plain, 0, 0, -5, 0, 0.0},
    };
    for (const auto& c : cases) {
        gen.Function = c.fn;
        gen.GEN_DC_Mode = c.mode;
        gen.DC_Shift = c.dc;
        gen.Ampl = c.ampl;
        const GenLevels lv = levelLimit(gen);
        EXPECT_EQ(lv.amplitude, c.amplitude) << c.mode << " " << c.dc << " " << c.ampl;
        EXPECT_DOUBLE_EQ(lv.lowest, c.lowest) << c.mode << " " << c.dc << " " << c.ampl;
    }
    // Duty of a pulse: 25 % high leaves more room below than above.
    gen.Function = GenFunction::Pulse;
    gen.GEN_DC_Mode = 1;
    gen.DC_Shift = 3000;
    gen.Ampl = 4000;
    gen.TPulse = 500;
    gen.TPer = 2000;
    const GenLevels lv = levelLimit(gen);
    EXPECT_EQ(lv.amplitude, 400); // trunc(300 / 0.75)
    EXPECT_DOUBLE_EQ(lv.lowest, 2900.0);
}

TEST_F(GeneratorRegistersTest, AmplitudeDcAndOffsetCodes) {
    gen.GEN_DC_Mode = 1;
    gen.DC_Shift = 3000;
    GeneratorRegisters r = compute();
    EXPECT_EQ(r.ampCode, 600);
    EXPECT_EQ(r.appliedAmplitude, 600);
    EXPECT_EQ(r.dcCode, static_cast<std::uint16_t>(-21600));
    EXPECT_EQ(r.offsetCode, 57344); // 2.7 V is the positive calibration point
    gen.DC_Shift = -1700;
    gen.Ampl = 2000; // lowest -2700 mV: the negative point
    EXPECT_EQ(compute().offsetCode, 0x2000);
    EXPECT_EQ(compute().dcCode, 21600);

    gen.Function = GenFunction::Awg;
    gen.Ampl = 1001;
    EXPECT_EQ(compute().ampCode, 1025); // rnd(1024.77)
}

TEST(OffsetCode, CalibrationPoints) {
    core::CalTable t = core::defaultSystemCalTable();
    EXPECT_EQ(offsetCode(0.0, t), 0x8000);
    EXPECT_EQ(offsetCode(2700.0, t), 0xE000);
    EXPECT_EQ(offsetCode(-2700.0, t), 0x2000);
    EXPECT_EQ(offsetCode(4000.0, t), 0xFFFF); // limited
    EXPECT_EQ(offsetCode(-4000.0, t), 0x0000);
    t[4] = 0; // P = Z: a positive level has no slope
    t[5] = 0;
    EXPECT_EQ(offsetCode(100.0, t), 0x8000);
    EXPECT_EQ(offsetCode(-2700.0, t), 0x2000);
}

TEST_F(GeneratorRegistersTest, MiscBitsAndTimeMatch) {
    struct Case {
        GenShape shape;
        GenFunction fn;
        int sinxx;
        bool debug;
        bool analyzer;
        bool a2bw;
        std::uint8_t misc;
        std::uint8_t match;
    };
    const std::uint8_t always = kMiscGenCorr | kMiscGenTest;
    const Case cases[] = {
        {GenShape::Sine, GenFunction::Plain, 1, false, false, false, always | kMiscSinxCorr, 195},
        {GenShape::Rectangle, GenFunction::Plain, 1, false, false, false, always, 184},
        {GenShape::Rectangle, GenFunction::Plain, 1, false, false, true, always, 177},
        {GenShape::Rectangle, GenFunction::Plain, 2, false, false, false, always | kMiscSinxCorr, 195},
        {GenShape::Sine, GenFunction::Pulse, 1, false, false, false, always, 184},
        {GenShape::Sine, GenFunction::Plain, 0, false, false, false, always, 184},
        {GenShape::Sine, GenFunction::Plain, 0, false, true, false, always | kMiscSinxCorr, 195},
        {GenShape::Sine, GenFunction::Plain, 0, true, true, false, 0, 195},
        {GenShape::Sine, GenFunction::Plain, 1, true, false, false, kMiscSinxCorr, 195},
    };
    for (const auto& c : cases) {
        gen.Shape = c.shape;
        gen.Function = c.fn;
        gen.Gen_Sinxx_Corr = c.sinxx;
        gen.Gen_Corr = false;
        ctx.debugMode = c.debug;
        ctx.analyzerOn = c.analyzer;
        ctx.a2BandwidthLimit = c.a2bw;
        const GeneratorRegisters r = compute();
        EXPECT_EQ(r.miscBits & ~(kMiscLoadBit16 | kMiscLoadCoarse), c.misc) << &c - cases;
        EXPECT_EQ(r.timeMatch, c.match) << &c - cases;
    }
    ctx.analyzerOn = true;
    ctx.compactFrontEnd = true;
    EXPECT_EQ(compute().timeMatch, 221);
    ctx.analyzerOn = false;
    gen.Gen_Match = 16;
    gen.Gen_Sinxx_Corr = 0;
    ctx.a2BandwidthLimit = true;
    EXPECT_EQ(compute().timeMatch, 0) << "never wraps below zero";
}

TEST_F(GeneratorRegistersTest, LoadCode) {
    struct Case {
        int load;
        std::int64_t v2;
        std::uint16_t code;
        std::uint8_t bits;
    };
    const Case cases[] = {
        {500, 500000, 2097, 0},
        {1000, 500000, 4194, 0},
        {1000, 20000, 39322, kMiscLoadBit16},             // 104858 = 0x1999A
        {1000, 500, 0, kMiscLoadBit16 | kMiscLoadCoarse}, // 65536 on the coarse scale
        {0, 500, 0, 0},
        {1000, 0, 4194, 0}, // no range known: taken as 500 mV
    };
    for (const auto& c : cases) {
        gen.Gen_Load = c.load;
        ctx.a2RangeMicroVolts = c.v2;
        const GeneratorRegisters r = compute();
        EXPECT_EQ(r.loadCode, c.code) << c.load << " " << c.v2;
        EXPECT_EQ(r.miscBits & (kMiscLoadBit16 | kMiscLoadCoarse), c.bits) << c.load << " " << c.v2;
    }
}

TEST_F(GeneratorRegistersTest, PulseAwgAndAux) {
    gen.Function = GenFunction::Pulse;
    gen.TMult = 5;
    gen.TPulse = 10000;
    gen.TPer = 10000;
    gen.Gen_Extra_Sel = 3;
    gen.Gen_Extra_Inv = true;
    GeneratorRegisters r = compute();
    EXPECT_EQ(r.pulsePeriod, 999999999u);
    EXPECT_EQ(r.pulseWidth, 1000000000u);
    EXPECT_EQ(r.funcReg, 7);
    EXPECT_EQ(r.freqWord, 0u);
    EXPECT_EQ(r.auxReg, 0x13);
    gen.TPer = 0;
    EXPECT_EQ(compute().pulsePeriod, 0u);

    EXPECT_EQ(r.awgDiv, 0u); // coarse 0, fine 1
    gen.AwgCoarse = 3;
    gen.AwgFine = 7;
    gen.AwgMark = 100;
    r = compute();
    EXPECT_EQ(r.awgDiv, 30006u);
    EXPECT_EQ(r.awgMark, 100);
    gen.AwgCoarse = gen.AwgFine = 0;
    EXPECT_EQ(compute().awgDiv, 0u);
}

TEST_F(GeneratorRegistersTest, GeneratorOff) {
    gen.Function = GenFunction::Modulation;
    gen.Gen_Extra_Sel = 3;
    gen.AwgMark = 7;
    gen.DC_Shift = 1000;
    gen.On = false;
    GeneratorRegisters r = compute();
    EXPECT_EQ(r.offsetCode, 0x8000);
    EXPECT_EQ(r.dcCode, 0);
    EXPECT_EQ(r.ampCode, 0);
    EXPECT_EQ(r.modFreqWord, 0u);
    EXPECT_EQ(r.pulsePeriod, 199999u) << "the aux output still uses the pulse generator";
    EXPECT_EQ(r.awgMark, 2048);
    EXPECT_EQ(r.funcReg, 0);
    EXPECT_EQ(r.shapeReg, 45);
    EXPECT_EQ(r.freqWord, 0u);
    EXPECT_EQ(r.stepWord, 0u);

    gen.Gen_Extra_Sel = 0;
    gen.Function = GenFunction::Sweep;
    ctx.analyzerOn = true;
    ctx.postTrigger = 4000;
    r = compute();
    EXPECT_EQ(r.pulsePeriod, 0u);
    EXPECT_EQ(r.shapeReg, 0);
    EXPECT_EQ(r.funcReg, 1) << "the analyzer keeps its sweep words";
    EXPECT_NE(r.freqWord, 0u);
}

TEST(ImpliedValues, ClampsAndForcedChoices) {
    GeneratorContext ctx;
    GeneratorState g;
    g.Ampl = 5000;
    g.Function = GenFunction::Sweep;
    g.FMult = 5;
    g.FStart = 3000;
    g.FSweep = 2000;
    g.Shape = GenShape::Rectangle;
    applyImpliedValues(g, ctx);
    EXPECT_EQ(g.Ampl, 4000);
    EXPECT_EQ(g.FMult, 4);
    EXPECT_EQ(g.FSweep, 3000);
    EXPECT_EQ(g.Shape, GenShape::Sine) << "100 M range allows only sine";

    g = GeneratorState{};
    g.Function = GenFunction::Pulse;
    ctx.analyzerOn = true;
    applyImpliedValues(g, ctx);
    EXPECT_EQ(g.Function, GenFunction::Plain);

    g = GeneratorState{};
    g.Function = GenFunction::Sweep;
    g.FStart = 0;
    g.FSweep = 0;
    applyImpliedValues(g, ctx);
    EXPECT_EQ(g.FStart, 1);
    EXPECT_EQ(g.FSweep, 1);

    g = GeneratorState{};
    g.FMult = 5;
    g.Shape = GenShape::Triangle;
    ctx.analyzerOn = false;
    applyImpliedValues(g, ctx);
    EXPECT_EQ(g.Shape, GenShape::Triangle) << "noise keeps the shape choice";
    g.FMult = 1;
    applyImpliedValues(g, ctx);
    EXPECT_EQ(g.Shape, GenShape::Triangle);
}

} // namespace
} // namespace kx::generator
