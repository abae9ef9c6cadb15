// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/AwgCompiler.h"

#include "core/NumberFormat.h"
#include "core/RegularFile.h"
#include "core/state/GeneratorState.h"
#include "generator/AwgTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

namespace kx::generator {

namespace {

using namespace awgtext;

struct Instruction {
    const char* name;
    int opcode;
    int lo;
    int hi;
};

constexpr Instruction kInstructions[] = {
    {"OUT", 0, 0, 4095},   {"DIFF", 1, -4095, 4095},   {"STOP", 2, 0, 4095},       {"LOOP", 3, 0, 4095},
    {"DELAY", 4, 0, 4095}, {"REPEAT", 5, 0, 4095},     {"ENDREP", 6, -4095, 4095}, {"RET", 7, -4095, 4095},
    {"CALL", 8, 0, 2047},  {"JMP", 9, 0, 2047},        {"WAIT", 10, 0, 1},         {"LOADN", 11, 0, 4095},
    {"OUTN", 12, 0, 4095}, {"DIFFN", 13, -4095, 4095}, {"OUTAUX", 14, 0, 1},
};

enum class Dir {
    Clock,
    Amp,
    NoMsg,
    Baud,
    AutoR,
    DcOffset,
    SinF,
    SinA,
    SinPh,
    Log0,
    Log1,
    Bits,
    Prty,
    SBits,
    DCom,
    Sin,
    Com
};

struct Directive {
    const char* name;
    Dir id;
    std::int64_t lo;
    std::int64_t hi;
};

constexpr Directive kDirectives[] = {
    {"#CLOCK", Dir::Clock, 0, 100000000}, {"#AMP", Dir::Amp, 0, 100},
    {"#NOMSG", Dir::NoMsg, 0, 2},         {"#BAUD", Dir::Baud, 2, 200000000},
    {"#AUTOR", Dir::AutoR, 0, 1},         {"#DC_OFFSET", Dir::DcOffset, -3000, 3300},
    {"#SINF", Dir::SinF, 0, 100000},      {"#SINA", Dir::SinA, 0, 2047},
    {"#SINPH", Dir::SinPh, 0, 359},       {"#LOG0", Dir::Log0, 0, 4095},
    {"#LOG1", Dir::Log1, 0, 4095},        {"#BITS", Dir::Bits, 5, 9},
    {"#PRTY", Dir::Prty, 0, 2},           {"#SBITS", Dir::SBits, 1, 2},
    {"#DCOM", Dir::DCom, 0, 1},           {"_SIN", Dir::Sin, 1, 2048},
    {"_COM", Dir::Com, 0, 511},
};

constexpr std::string_view kDashes = "-----------------------------------------"; // 41
static_assert(kDashes.size() == 41);

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string toUpper(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = upper(c);
    return r;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool lessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lower(x) < lower(y); });
}

// Every control character counts as blank, as the editors that write these scripts expect.
std::string_view trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

bool validName(std::string_view s) {
    constexpr std::string_view kAllowed = "abcdefghijklmnopqrstuvwxyz_1234567890";
    return std::all_of(s.begin(), s.end(),
                       [&](char c) { return kAllowed.find(lower(c)) != std::string_view::npos; });
}

// Decimal with an optional sign; "$1F" and "0x1F" are read as hexadecimal. Huge numbers
// saturate, so that they fail as out of range instead of passing for label names.
constexpr std::int64_t kSaturated = 1LL << 40;

std::optional<std::int64_t> parseInteger(std::string_view s) {
    if (s.empty()) return std::nullopt;
    bool negative = false;
    if (s.front() == '-' || s.front() == '+') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) return std::nullopt;
    std::int64_t v = 0;
    for (char c : s) {
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && lower(c) >= 'a' && lower(c) <= 'f')
            d = lower(c) - 'a' + 10;
        if (d < 0) return std::nullopt;
        v = std::min<std::int64_t>(v * base + d, kSaturated);
    }
    return negative ? -v : v;
}

std::string hex(unsigned value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, value);
    return buf;
}

std::string fileNameOf(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Lines as a text editor sees them: CR LF, LF or CR end a line; a final line end adds none.
std::vector<std::string_view> splitLines(std::string_view text) {
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

void appendSplit(std::vector<std::string>& listing, std::string_view text) {
    std::size_t start = 0;
    for (;;) {
        const auto pos = text.find("\r\n", start);
        listing.emplace_back(
            text.substr(start, pos == std::string_view::npos ? std::string_view::npos : pos - start));
        if (pos == std::string_view::npos) break;
        start = pos + 2;
    }
}

struct ListingLine {
    std::string text;
    int address = -1; // instruction lines carry their word address
};

struct FixUp {
    std::string label;
    int line;
    int address;
};

struct Variables {
    std::optional<std::int64_t> clock;
    std::optional<std::int64_t> amp;
    std::int64_t noMsg = 0;
    std::optional<std::int64_t> baud;
    std::int64_t autoR = 1;
    std::int64_t dcOffset = 0;
    std::int64_t sinF = 1000;
    std::int64_t sinA = 1000;
    std::int64_t sinPh = 0;
    std::int64_t log0 = 0;
    std::int64_t log1 = 3300;
    std::int64_t bits = 8;
    std::int64_t prty = 0;
    std::int64_t sBits = 1;
    std::int64_t dCom = 0;
};

class Compiler {
public:
    Compiler(std::string_view path, bool russian) : m_path(path), m_ru(russian) {}

    AwgCompileResult run(std::string_view text, bool quiet);

private:
    // Each returns an empty string on success, else the failure text.
    std::string compileLine(std::string_view raw);
    std::string compileStatement(std::string statement, std::vector<std::string>& pending);
    std::string instruction(const Instruction& ins, std::string_view command, std::string_view operand);
    std::string directive(const Directive& dir, std::string_view command, std::string_view operand,
                          std::vector<std::string>& pending);
    void expandSin(std::int64_t n, std::vector<std::string>& pending) const;
    void expandCom(std::int64_t b, std::vector<std::string>& pending) const;
    const AwgLabel* findLabel(std::string_view name) const;
    const char* t(const core::TextPair& p) const { return p.pick(m_ru); }

    std::string m_path;
    bool m_ru;
    std::unique_ptr<AwgImage> m_image = std::make_unique<AwgImage>();
    std::vector<AwgLabel> m_labels; // kept sorted
    std::vector<FixUp> m_fixUps;
    std::vector<ListingLine> m_listing;
    Variables m_vars;
    int m_address = 0;
    int m_lineIndex = 0;
};

const AwgLabel* Compiler::findLabel(std::string_view name) const {
    auto it = std::lower_bound(m_labels.begin(), m_labels.end(), name,
                               [](const AwgLabel& l, std::string_view n) { return lessNoCase(l.name, n); });
    return (it != m_labels.end() && equalNoCase(it->name, name)) ? &*it : nullptr;
}

std::string Compiler::compileLine(std::string_view raw) {
    std::string_view line = trim(raw);
    if (const auto cut = line.find("//"); cut != std::string_view::npos) line = line.substr(0, cut);

    if (const auto colon = line.find(':'); colon != std::string_view::npos) {
        const std::string_view name = trim(line.substr(0, colon));
        if (name.empty()) return t(kEmptyLabel);
        if (!validName(name)) return std::string(t(kWrongLabel)) + std::string(name);
        if (findLabel(name)) return std::string(t(kDuplicateLabel)) + std::string(name);
        auto pos =
            std::lower_bound(m_labels.begin(), m_labels.end(), name,
                             [](const AwgLabel& l, std::string_view n) { return lessNoCase(l.name, n); });
        m_labels.insert(pos, AwgLabel{std::string(name), m_address});
        m_listing.push_back({std::string(name) + ":", -1});
        line = line.substr(colon + 1);
    }

    // Statements waiting to be compiled, the next one last; a macro pushes its expansion on top.
    std::vector<std::string> pending;
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto semi = line.find(';', start);
        parts.emplace_back(
            line.substr(start, semi == std::string_view::npos ? std::string_view::npos : semi - start));
        if (semi == std::string_view::npos) break;
        start = semi + 1;
    }
    pending.assign(std::make_move_iterator(parts.rbegin()), std::make_move_iterator(parts.rend()));

    while (!pending.empty()) {
        std::string statement = std::move(pending.back());
        pending.pop_back();
        if (auto failure = compileStatement(std::move(statement), pending); !failure.empty()) return failure;
    }
    return {};
}

std::string Compiler::compileStatement(std::string statement, std::vector<std::string>& pending) {
    std::string_view s = trim(statement);
    if (s.empty()) return {};
    std::string rewritten;
    if (parseInteger(s)) {
        rewritten = (m_vars.dCom == 1 ? "_COM " : "OUT ") + std::string(s);
        s = rewritten;
    }
    auto split = s.find(' ');
    if (split == std::string_view::npos) split = s.find('\t');
    const std::string_view command = trim(s.substr(0, split));
    const std::string_view operand =
        split == std::string_view::npos ? std::string_view{} : trim(s.substr(split + 1));

    for (const auto& ins : kInstructions)
        if (equalNoCase(command, ins.name)) {
            if (operand.empty()) return t(kParameterMissing);
            return instruction(ins, command, operand);
        }
    for (const auto& dir : kDirectives)
        if (equalNoCase(command, dir.name)) {
            if (operand.empty()) return t(kParameterMissing);
            return directive(dir, command, operand, pending);
        }
    return std::string(t(kInvalidCommand)) + std::string(command);
}

std::string Compiler::instruction(const Instruction& ins, std::string_view command,
                                  std::string_view operand) {
    if (m_address >= static_cast<int>(kAwgWords)) return t(kOutOfMemory);
    auto& word = (*m_image)[static_cast<std::size_t>(m_address)];
    word = static_cast<std::uint16_t>(ins.opcode << 12);
    std::string text = "0x" + hex(static_cast<unsigned>(m_address), 3) + ":  " + toUpper(command);
    if (text.size() < 18) text.resize(18, ' ');
    text += operand;

    if (const auto value = parseInteger(operand)) {
        if (*value < ins.lo || *value > ins.hi) {
            if (m_ru) return std::string(t(kOutOfRange)) + std::string(operand);
            return std::string(operand) + t(kOutOfRange);
        }
        const auto field = static_cast<unsigned>(*value < 0 ? *value + 4096 : *value);
        word = static_cast<std::uint16_t>(word | field);
    } else if (validName(operand)) {
        m_fixUps.push_back({std::string(operand), m_lineIndex, m_address});
    } else {
        return std::string(t(kWrongOperand)) + std::string(operand);
    }
    m_listing.push_back({std::move(text), m_address});
    ++m_address;
    return {};
}

std::string Compiler::directive(const Directive& dir, std::string_view command, std::string_view operand,
                                std::vector<std::string>& pending) {
    const auto value = parseInteger(operand);
    if (!value || *value < dir.lo || *value > dir.hi)
        return std::string(t(kWrongParameter)) + std::string(operand);
    m_listing.push_back({toUpper(command) + "  " + std::string(operand), -1});
    const std::int64_t v = *value;
    switch (dir.id) {
    case Dir::Clock:
        m_vars.clock = v;
        break;
    case Dir::Amp:
        m_vars.amp = v;
        break;
    case Dir::NoMsg:
        m_vars.noMsg = v;
        break;
    case Dir::Baud:
        m_vars.baud = v;
        break;
    case Dir::AutoR:
        m_vars.autoR = v;
        break;
    case Dir::DcOffset:
        m_vars.dcOffset = v;
        break;
    case Dir::SinF:
        m_vars.sinF = v;
        break;
    case Dir::SinA:
        m_vars.sinA = v;
        break;
    case Dir::SinPh:
        m_vars.sinPh = v;
        break;
    case Dir::Log0:
        m_vars.log0 = v;
        break;
    case Dir::Log1:
        m_vars.log1 = v;
        break;
    case Dir::Bits:
        m_vars.bits = v;
        break;
    case Dir::Prty:
        m_vars.prty = v;
        break;
    case Dir::SBits:
        m_vars.sBits = v;
        break;
    case Dir::DCom:
        m_vars.dCom = v;
        break;
    case Dir::Sin:
        expandSin(v, pending);
        break;
    case Dir::Com:
        expandCom(v, pending);
        break;
    }
    return {};
}

void Compiler::expandSin(std::int64_t n, std::vector<std::string>& pending) const {
    constexpr double kTwoPi = 6.283185307179586476925286766559;
    auto level = [&](std::int64_t k) {
        const double x =
            static_cast<double>(k * m_vars.sinF) * 5e-6 + static_cast<double>(m_vars.sinPh) / 360.0;
        return static_cast<std::int64_t>(std::round(std::sin(kTwoPi * x) * static_cast<double>(m_vars.sinA)));
    };
    std::vector<std::string> emitted;
    emitted.reserve(static_cast<std::size_t>(n));
    std::int64_t previous = level(0);
    for (std::int64_t k = 1; k <= n; ++k) {
        const std::int64_t v = level(k);
        emitted.push_back((k < n ? "DIFFN " : "DIFF ") + std::to_string(v - previous));
        previous = v;
    }
    pending.insert(pending.end(), std::make_move_iterator(emitted.rbegin()),
                   std::make_move_iterator(emitted.rend()));
}

void Compiler::expandCom(std::int64_t b, std::vector<std::string>& pending) const {
    const std::string zero = "OUTN " + std::to_string(m_vars.log0);
    const std::string one = "OUTN " + std::to_string(m_vars.log1);
    std::vector<std::string> emitted;
    std::int64_t h = m_vars.prty;
    emitted.push_back(zero);
    for (std::int64_t i = 0; i < m_vars.bits; ++i) {
        if ((b >> i) & 1) {
            emitted.push_back(one);
            ++h;
        } else {
            emitted.push_back(zero);
        }
    }
    if (m_vars.prty != 0) emitted.push_back(h % 2 == 0 ? zero : one);
    if (m_vars.sBits == 2) emitted.push_back(one);
    emitted.push_back(one);
    pending.insert(pending.end(), std::make_move_iterator(emitted.rbegin()),
                   std::make_move_iterator(emitted.rend()));
}

AwgCompileResult Compiler::run(std::string_view text, bool quiet) {
    AwgCompileResult r;
    r.caption = t(kResultCaption);
    const auto lines = splitLines(text);

    std::vector<std::string> head{std::string(kDashes), m_path, ""};

    std::string failure;
    int failLine = 0;
    for (std::size_t i = 0; i < lines.size() && failure.empty(); ++i) {
        m_lineIndex = static_cast<int>(i);
        failure = compileLine(lines[i]);
        if (!failure.empty()) failLine = m_lineIndex + 1;
    }
    if (failure.empty()) {
        for (const auto& f : m_fixUps) {
            const AwgLabel* label = findLabel(f.label);
            if (!label) {
                failure = m_ru ? std::string(t(kUndefined)) + f.label : f.label + t(kUndefined);
                failLine = f.line + 1;
                break;
            }
            auto& word = (*m_image)[static_cast<std::size_t>(f.address)];
            word = static_cast<std::uint16_t>(word | static_cast<unsigned>(label->address));
        }
    }

    r.listing = std::move(head);
    if (!failure.empty()) {
        for (auto& l : m_listing) r.listing.push_back(std::move(l.text));
        r.ok = false;
        r.line = failLine;
        r.commands = m_address;
        r.report = std::string(t(kErrorInLine)) + std::to_string(failLine) + "\r\n" + failure;
        r.message = r.report;
        r.notice = (quiet || m_vars.noMsg == 2) ? AwgNotice::StatusText : AwgNotice::ErrorBox;
        appendSplit(r.listing, r.report);
        r.listing.emplace_back();
        return r;
    }

    for (auto& l : m_listing) {
        if (l.address >= 0) {
            if (l.text.size() <= 30)
                l.text.resize(30, ' ');
            else
                l.text += "  ";
            l.text += "0x" + hex((*m_image)[static_cast<std::size_t>(l.address)], 4);
        }
        r.listing.push_back(std::move(l.text));
    }
    r.listing.emplace_back();
    r.listing.emplace_back(kDashes);

    r.ok = true;
    r.line = static_cast<int>(lines.size());
    r.commands = m_address;
    std::string msg = fileNameOf(m_path) + "\r\n\r\n" + t(kBoxLines) + std::to_string(r.line) +
                      t(kBoxCommands) + std::to_string(r.commands) + " (" +
                      core::formatFixed(r.commands * 100.0 / 2048.0, 1) + "%)";
    std::optional<std::int64_t> period = m_vars.clock;
    if (m_vars.baud) {
        const double rate = static_cast<double>(*m_vars.baud);
        const auto n = static_cast<std::int64_t>(std::round(2e8 / rate));
        period = n;
        const double actual = 2e8 / static_cast<double>(n);
        msg += std::string(kBaudRate) + core::formatFixed(actual, 1) + kBaudErr +
               core::formatFixed((actual - rate) * 100.0 / rate, 3) + kBaudErrEnd;
    }
    r.report = msg;
    if (quiet || m_vars.noMsg != 0) {
        r.notice = AwgNotice::StatusText;
        r.message = std::string(t(kStatusLines)) + std::to_string(r.line) + t(kStatusCommands) +
                    std::to_string(r.commands);
    } else {
        r.notice = AwgNotice::InformationBox;
        r.message = msg;
    }
    appendSplit(r.listing, msg);
    r.listing.emplace_back();

    r.defaultPeriod = period ? static_cast<int>(*period) : -1;
    r.defaultAmplitude = m_vars.amp ? static_cast<int>(*m_vars.amp) : -1;
    r.dcOffset = static_cast<int>(m_vars.dcOffset);
    r.autoRun = m_vars.autoR == 1;
    r.uploadRequested = true;
    r.labels = std::move(m_labels);
    r.image = std::move(m_image);
    return r;
}

} // namespace

AwgCompileResult compileAwgText(std::string_view path, std::string_view text,
                                const AwgCompileOptions& options) {
    Compiler compiler(path, options.russian);
    return compiler.run(text, options.quiet);
}

AwgCompileResult compileAwgFile(const std::string& path, const AwgCompileOptions& options) {
    std::string content;
    // A device, a FIFO or a huge file is no script: refused before it is read, like a missing one.
    if (core::readRegularFile(path, kMaxAwgScriptBytes, content) != core::FileReadStatus::Ok) {
        AwgCompileResult r;
        r.fileNotFound = true;
        r.notice = AwgNotice::ErrorBox; // shown also when quiet
        r.caption = kOpenFileTitle.pick(options.russian);
        r.message = path + kFileNotFound.pick(options.russian);
        r.report = r.message;
        return r;
    }
    return compileAwgText(path, content, options);
}

std::string awgListingText(std::span<const std::string> lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

bool saveAwgListing(const std::string& file, std::span<const std::string> lines) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const std::string text = awgListingText(lines);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

std::string awgStatusShown(std::string_view status, int countdown) {
    const auto brk = status.find("\r\n");
    if (brk == std::string_view::npos || countdown <= 0) return std::string(status);
    return std::string(countdown >= 3 ? status.substr(0, brk) : status.substr(brk + 2));
}

AwgMarkList buildAwgMarkList(std::span<const AwgLabel> labels, bool russian, bool sameScript,
                             const AwgMarkList& previous) {
    AwgMarkList list;
    list.entries.push_back({kMarkOff.pick(russian), 2048});
    list.entries.push_back({kMarkAddr0.pick(russian), 0});
    for (const auto& l : labels) list.entries.push_back({l.name, l.address});
    list.chosen = 0;
    if (!sameScript || previous.chosen < 0 ||
        static_cast<std::size_t>(previous.chosen) >= previous.entries.size())
        return list;
    if (previous.chosen < 2) {
        list.chosen = previous.chosen;
        return list;
    }
    const auto& name = previous.entries[static_cast<std::size_t>(previous.chosen)].text;
    for (std::size_t i = 2; i < list.entries.size(); ++i)
        if (equalNoCase(list.entries[i].text, name)) {
            list.chosen = static_cast<int>(i);
            break;
        }
    return list;
}

void applyAwgResult(const AwgCompileResult& result, std::string_view path, const AwgMarkList& marks,
                    core::GeneratorState& generator) {
    if (!result.ok) return;
    if (result.defaultPeriod >= 0) {
        generator.AwgCoarse = result.defaultPeriod / 10000;
        generator.AwgFine = result.defaultPeriod % 10000;
    }
    if (result.defaultAmplitude >= 0) generator.Ampl = 40 * result.defaultAmplitude;
    generator.DC_Shift = result.dcOffset;
    generator.Function = core::GenFunction::Awg;
    generator.AWG_File = std::string(path);
    generator.AwgMark = marks.mark();
}

} // namespace kx::generator
