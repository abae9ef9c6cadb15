// SPDX-License-Identifier: GPL-3.0-or-later
// CSV, VCD and sigrok session files read back: every sample code comes back from them.
#include "ExportFixture.h"

#include "files/InterchangeExport.h"

#include <zip.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <vector>

namespace kx::files::test {
namespace {

using core::Channel;
namespace fh = core::fh;

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string item;
    std::istringstream in(s);
    while (std::getline(in, item, sep)) out.push_back(item);
    if (!s.empty() && s.back() == sep) out.push_back("");
    return out;
}

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        out.push_back(text.substr(from, at - from));
    EXPECT_EQ(from, text.size());
    return out;
}

class InterchangeTest : public ExportFixture {
protected:
    // Codes an averaged frame may hold: odd ones and both ends of the 16-bit range.
    static std::int32_t analogCode(std::size_t i, int salt) {
        return static_cast<std::int32_t>((i * 7919u + static_cast<unsigned>(salt) * 104729u) % 0x10000u);
    }
    static std::int32_t bit(std::size_t i, int channel) {
        return ((i >> channel) ^ (i * 3 >> 2)) & 1 ? 256 : 0;
    }

    // All six channels; with fast digital 8 digital samples per analog sample.
    void fill(bool peak, bool fastDigital, std::uint32_t analogCount) {
        shape(40000, fastDigital ? 5000 : 40000, analogCount, 0x3F, peak);
        frame->header[fh::PreTrigger] = 3;
        for (int c = 0; c < 2; ++c)
            for (std::size_t i = 0; i < analogCount; ++i)
                set(static_cast<Channel>(c), i, analogCode(i, c), analogCode(i, c + 2));
        const std::size_t digitalCount = frame->header[fh::DigitalCount];
        for (int c = 2; c < 6; ++c)
            for (std::size_t i = 0; i < digitalCount; ++i)
                set(static_cast<Channel>(c), i, bit(i, c), peak ? bit(i + 1, c) : bit(i, c));
    }

    // The code a value in volts stands for.
    std::int32_t codeOf(Channel c, double volts) const {
        const auto& h = frame->header;
        const double step = analogStepMicrovolts(h, c) * 1e-6;
        const int zero = c == Channel::A1 ? fh::ZeroA1 : fh::ZeroA2;
        return static_cast<std::int32_t>(std::lround(volts / step + h.signedWord(zero)));
    }
};

TEST_F(InterchangeTest, CsvGivesBackEveryCode) {
    fill(true, false, 300);
    set(Channel::A2, 5, core::kNoSample, core::kNoSample);
    std::string csv;
    buildCsvExport(*frame, kAllChannels, csv);
    const auto lines = crlfLines(csv);
    ASSERT_EQ(lines.size(), 301u);
    EXPECT_EQ(lines[0], "Time (s),A1 min (V),A1 max (V),A2 min (V),A2 max (V),D1 min (0/1),D1 max (0/1),"
                        "D2 min (0/1),D2 max (0/1),D3 min (0/1),D3 max (0/1),D4 min (0/1),D4 max (0/1)");
    for (std::size_t i = 0; i < 300; ++i) {
        const auto cells = split(lines[i + 1], ',');
        ASSERT_EQ(cells.size(), 13u) << lines[i + 1];
        // 40 ns per sample, the trigger three samples in.
        EXPECT_EQ(std::llround(std::stod(cells[0]) * 1e9), (static_cast<long long>(i) - 3) * 40) << cells[0];
        for (int c = 0; c < 2; ++c) {
            const auto ch = static_cast<Channel>(c);
            if (c == 1 && i == 5) {
                EXPECT_EQ(cells[3], "");
                EXPECT_EQ(cells[4], "");
                continue;
            }
            EXPECT_EQ(codeOf(ch, std::stod(cells[1 + 2 * c])), analogCode(i, c)) << cells[1 + 2 * c];
            EXPECT_EQ(codeOf(ch, std::stod(cells[2 + 2 * c])), analogCode(i, c + 2));
        }
        for (int c = 2; c < 6; ++c) {
            EXPECT_EQ(cells[static_cast<std::size_t>(1 + 2 * c)], bit(i, c) ? "1" : "0");
            EXPECT_EQ(cells[static_cast<std::size_t>(2 + 2 * c)], bit(i + 1, c) ? "1" : "0");
        }
    }
    EXPECT_EQ(split(lines[1], ',')[0], "-0.00000012");
    EXPECT_EQ(split(lines[4], ',')[0], "0");
}

TEST_F(InterchangeTest, CsvAtTheDigitalRatePutsAnalogValuesAtTheirOwnTime) {
    fill(false, true, 4);
    std::string csv;
    buildCsvExport(*frame, only({Channel::A1, Channel::D4}), csv);
    const auto lines = crlfLines(csv);
    ASSERT_EQ(lines.size(), 1u + 32u);
    EXPECT_EQ(lines[0], "Time (s),A1 (V),D4 (0/1)");
    for (std::size_t i = 0; i < 32; ++i) {
        const auto cells = split(lines[i + 1], ',');
        ASSERT_EQ(cells.size(), 3u);
        EXPECT_EQ(std::llround(std::stod(cells[0]) * 1e12), (static_cast<long long>(i) - 24) * 5000);
        if (i % 8 == 0)
            EXPECT_EQ(codeOf(Channel::A1, std::stod(cells[1])), analogCode(i / 8, 0));
        else
            EXPECT_EQ(cells[1], "");
    }
}

TEST_F(InterchangeTest, SecondsAreExact) {
    EXPECT_EQ(secondsText(0), "0");
    EXPECT_EQ(secondsText(-5000), "-0.000000005");
    EXPECT_EQ(secondsText(1'500'000'000'000), "1.5");
    EXPECT_EQ(secondsText(123'456'789'012'345), "123.456789012345");
}

// Replays a value change dump into per-variable sample levels.
struct Dump {
    std::string timescale;
    std::map<std::string, std::string> names; // id -> name
    std::map<std::string, std::vector<char>> levels;
};

Dump replay(const std::string& vcd, std::uint64_t step, std::size_t samples) {
    Dump d;
    std::istringstream in(vcd);
    std::string tok;
    std::map<std::string, char> current;
    std::uint64_t time = 0;
    const auto advanceTo = [&](std::uint64_t t) {
        for (; time < t; time += step)
            for (auto& [id, v] : current) d.levels[id].push_back(v);
    };
    while (in >> tok) {
        if (tok == "$timescale") {
            std::string a, b, end;
            in >> a >> b >> end;
            d.timescale = a + " " + b;
        } else if (tok == "$var") {
            std::string type, width, id, name, end;
            in >> type >> width >> id >> name >> end;
            d.names[id] = name;
        } else if (tok[0] == '#') {
            advanceTo(std::stoull(tok.substr(1)));
        } else if (tok.size() >= 2 && (tok[0] == '0' || tok[0] == '1' || tok[0] == 'x')) {
            current[tok.substr(1)] = tok[0];
        } else if (tok[0] == '$' && tok != "$dumpvars" && tok != "$end") {
            while (in >> tok && tok != "$end") {
            }
        }
    }
    EXPECT_EQ(time, samples * step);
    return d;
}

TEST_F(InterchangeTest, VcdReplaysToTheSamples) {
    fill(true, true, 20); // 160 digital samples every 5 ns
    set(Channel::D3, 50, core::kNoSample, 0);
    std::string vcd;
    ASSERT_TRUE(buildVcdExport(*frame, only({Channel::A1, Channel::D1, Channel::D3}), vcd));
    EXPECT_NE(vcd.find("$comment trigger at #120, digital sample period 5000 ps $end"), std::string::npos);
    const Dump d = replay(vcd, 5, 160);
    EXPECT_EQ(d.timescale, "1 ns");
    ASSERT_EQ(d.names.size(), 4u);
    for (const auto& [id, name] : d.names) {
        const Channel ch = name[1] == '1' ? Channel::D1 : Channel::D3;
        const bool max = name.ends_with("_max");
        EXPECT_EQ(name.substr(0, 2), std::string(channelName(ch)));
        const auto& got = d.levels.at(id);
        ASSERT_EQ(got.size(), 160u);
        for (std::size_t i = 0; i < 160; ++i) {
            const std::int32_t v = max ? frame->channels.maxOf(ch)[i] : frame->channels.minOf(ch)[i];
            const char want = v == core::kNoSample ? 'x' : (v ? '1' : '0');
            EXPECT_EQ(got[i], want) << name << " " << i;
        }
    }

    std::string none;
    EXPECT_FALSE(buildVcdExport(*frame, only({Channel::A2}), none));
}

TEST_F(InterchangeTest, VcdTimeUnitIsTheLargestThatDividesThePeriod) {
    fill(false, false, 4);
    struct Case {
        std::uint64_t periodPs;
        const char* scale;
        std::uint64_t step;
    };
    for (const Case& c : {Case{625, "1 ps", 625}, Case{200'000'000, "100 us", 2},
                          Case{1'000'000'000'000, "1 s", 1}, Case{25'000, "1 ns", 25}}) {
        frame->header.set64(fh::DigitalPeriodPs, c.periodPs);
        frame->header.set64(fh::SamplePeriodPs, c.periodPs);
        std::string vcd;
        ASSERT_TRUE(buildVcdExport(*frame, only({Channel::D2}), vcd));
        const Dump d = replay(vcd, c.step, 4);
        EXPECT_EQ(d.timescale, c.scale) << c.periodPs;
    }
}

std::map<std::string, std::string> unzip(const std::string& path) {
    std::map<std::string, std::string> files;
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &error);
    EXPECT_NE(z, nullptr);
    if (!z) return files;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(z, static_cast<zip_uint64_t>(i), 0, &st);
        std::string data(st.size, '\0');
        zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0);
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        files[st.name] = data;
    }
    zip_discard(z);
    return files;
}

std::vector<float> floats(const std::string& bytes) {
    std::vector<float> v(bytes.size() / 4);
    std::memcpy(v.data(), bytes.data(), v.size() * 4);
    return v;
}

TEST_F(InterchangeTest, SigrokSessionHoldsTheChannelsAtTheirRates) {
    fill(false, true, 50); // 400 digital samples at 200 MHz, analog at 25 MHz held for 8 rows
    set(Channel::A2, 7, core::kNoSample);
    const std::string sr = path("frame.sr");
    ASSERT_TRUE(writeSigrokSession(sr, *frame, only({Channel::A1, Channel::A2, Channel::D2, Channel::D4})));
    const auto files = unzip(sr);
    EXPECT_EQ(files.at("version"), "2");
    EXPECT_EQ(files.at("metadata"), "[global]\nsigrok version=0.5.2\n\n[device 1]\ncapturefile=logic-1\n"
                                    "total probes=2\nsamplerate=200000000 Hz\ntotal analog=2\nprobe1=D2\n"
                                    "probe2=D4\nanalog3=A1\nanalog4=A2\nunitsize=1\n");
    const std::string logic = files.at("logic-1-1");
    ASSERT_EQ(logic.size(), 400u);
    for (std::size_t i = 0; i < 400; ++i) {
        EXPECT_EQ(logic[i] & 1, bit(i, 3) ? 1 : 0);
        EXPECT_EQ((logic[i] >> 1) & 1, bit(i, 5) ? 1 : 0);
    }
    const auto a1 = floats(files.at("analog-1-3-1"));
    const auto a2 = floats(files.at("analog-1-4-1"));
    ASSERT_EQ(a1.size(), 400u);
    for (std::size_t i = 0; i < 400; ++i) {
        EXPECT_EQ(codeOf(Channel::A1, a1[i]), analogCode(i / 8, 0)) << i;
        if (i / 8 == 7)
            EXPECT_TRUE(std::isnan(a2[i]));
        else
            EXPECT_EQ(codeOf(Channel::A2, a2[i]), analogCode(i / 8, 1)) << i;
    }

    // The same frame gives the same bytes.
    const std::string again = path("again.sr");
    ASSERT_TRUE(
        writeSigrokSession(again, *frame, only({Channel::A1, Channel::A2, Channel::D2, Channel::D4})));
    EXPECT_EQ(slurp(sr), slurp(again));
    EXPECT_FALSE(writeSigrokSession(path("no/such/dir.sr"), *frame, kAllChannels));
}

std::string run(const std::string& command) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
    return out;
}

// The bits of a logic channel as "sigrok-cli -O bits" prints them.
std::string bitsOf(const std::string& out, const std::string& name) {
    std::string bits;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(name + ":", 0) == 0)
            for (char c : line.substr(name.size() + 1))
                if (c == '0' || c == '1') bits.push_back(c);
    return bits;
}

TEST_F(InterchangeTest, SigrokCliOpensTheSession) {
    if (std::system("command -v sigrok-cli >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sigrok-cli is not installed";
    fill(true, false, 64);
    const std::string sr = path("peak.sr");
    ASSERT_TRUE(writeSigrokSession(sr, *frame, kAllChannels));
    const std::string show = run("sigrok-cli -i " + sr + " --show 2>/dev/null");
    EXPECT_NE(show.find("Samplerate: 25000000"), std::string::npos) << show;
    EXPECT_NE(show.find("- D3_max: logic"), std::string::npos) << show;
    EXPECT_NE(show.find("- A2_min: analog"), std::string::npos) << show;
    EXPECT_NE(show.find("Logic sample count: 64"), std::string::npos) << show;

    const std::string out = run("sigrok-cli -i " + sr + " -O bits 2>/dev/null");
    for (int c = 2; c < 6; ++c) {
        std::string want;
        for (std::size_t i = 0; i < 64; ++i) want.push_back(bit(i, c) ? '1' : '0');
        EXPECT_EQ(bitsOf(out, std::string(channelName(static_cast<Channel>(c))) + "_min"), want) << c;
    }
    // Analog values come with two decimals.
    std::vector<double> a1max;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("A1_max: ", 0) == 0) a1max.push_back(std::stod(line.substr(8)));
    ASSERT_EQ(a1max.size(), 64u);
    for (std::size_t i = 0; i < 64; ++i) {
        const double want = analogMicrovolts(frame->header, Channel::A1, analogCode(i, 2)) * 1e-6;
        EXPECT_NEAR(a1max[i], want, 0.006) << i;
    }
}

} // namespace
} // namespace kx::files::test
