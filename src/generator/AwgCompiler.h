// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx::core {
struct GeneratorState;
}

namespace kx::generator {

constexpr std::size_t kAwgWords = 2048;
constexpr int kAwgStatusCountdown = 4;

// The sequencer program: opcode << 12 | 12-bit operand per word.
using AwgImage = std::array<std::uint16_t, kAwgWords>;

struct AwgLabel {
    std::string name;
    int address = 0;
};

// How the caller tells the user about the result.
enum class AwgNotice {
    ErrorBox,       // error icon, caption `caption`
    InformationBox, // information icon, caption `caption`
    StatusText,     // panel status text `message` with countdown kAwgStatusCountdown
};

struct AwgCompileOptions {
    bool quiet = false;
    bool russian = false;
};

struct AwgCompileResult {
    bool ok = false;
    bool fileNotFound = false; // nothing else is valid then; the listing is not written

    AwgNotice notice = AwgNotice::ErrorBox;
    std::string caption;
    std::string message; // box text, or status text for AwgNotice::StatusText
    std::string report;  // the full result text, as the listing carries it

    int line = 0;     // success: lines in the file; failure: 1-based failing line
    int commands = 0; // words used

    // Fresh image for the upload; null on failure. An upload of an earlier image keeps its own.
    std::unique_ptr<AwgImage> image;
    std::vector<AwgLabel> labels; // sorted without regard to case

    // Effects of the directives (valid when ok).
    int defaultPeriod = -1;    // step period N from "#BAUD" or "#CLOCK", -1 when absent
    int defaultAmplitude = -1; // "#AMP" in percent, -1 when absent
    int dcOffset = 0;          // "#DC_OFFSET" in mV
    bool autoRun = true;       // "#AUTOR": raise the one-shot AWG run request
    bool uploadRequested = false;

    std::vector<std::string> listing; // lines of "kxg.lst", without line ends
};

// Compiles a script given as text; `path` is used for the listing and the messages.
AwgCompileResult compileAwgText(std::string_view path, std::string_view text,
                                const AwgCompileOptions& options);

// 2048 words with their comments stay far below this; a longer file is refused unread.
constexpr std::size_t kMaxAwgScriptBytes = 4u << 20;

// Reads the file and compiles it; an unreadable file, a device or FIFO and a file longer than
// kMaxAwgScriptBytes give fileNotFound with its message.
AwgCompileResult compileAwgFile(const std::string& path, const AwgCompileOptions& options);

// The listing as file content: UTF-8, every line ended by CR LF.
std::string awgListingText(std::span<const std::string> lines);

// Writes the listing to `file`, replacing it. Returns false when it cannot be written.
bool saveAwgListing(const std::string& file, std::span<const std::string> lines);

constexpr const char* kAwgListingName = "kxg.lst";

// The part of a status text that Label_Mod shows at a countdown value: the first line at
// 4 and 3, the rest after the first line break at 2 and 1 (a single line shows whole).
std::string awgStatusShown(std::string_view status, int countdown);

// Entries of the AWG mark list (ComboBox_AWG).
struct AwgMarkEntry {
    std::string text;
    int value = 0;
};

struct AwgMarkList {
    std::vector<AwgMarkEntry> entries;
    int chosen = 0;
    int mark() const {
        return chosen >= 0 && static_cast<std::size_t>(chosen) < entries.size()
                   ? entries[static_cast<std::size_t>(chosen)].value
                   : 2048;
    }
};

// Rebuilds the list after a successful compilation. With `sameScript` the previous choice
// survives: the first two entries by position, a label by name while it still exists.
AwgMarkList buildAwgMarkList(std::span<const AwgLabel> labels, bool russian, bool sameScript,
                             const AwgMarkList& previous);

// Applies a successful result to the generator model: step period, amplitude, DC level,
// AWG function, script path and mark. The caller then raises the run request when
// result.autoRun, the upload request and re-applies the settings.
void applyAwgResult(const AwgCompileResult& result, std::string_view path, const AwgMarkList& marks,
                    core::GeneratorState& generator);

} // namespace kx::generator
