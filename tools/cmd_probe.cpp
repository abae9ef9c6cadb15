// SPDX-License-Identifier: GPL-3.0-or-later
// probe: opens the instrument, loads its FPGA, sends one settings frame with the run bit set,
// shows what the instrument reports and the link statistics once a second.
#include "Commands.h"
#include "ToolSupport.h"

#include "app/ApplySettings.h"
#include "core/DeviceModel.h"
#include "core/InstrumentState.h"
#include "device/DeviceLink.h"
#include "device/DeviceOpen.h"
#include "device/ErrorReport.h"
#include "device/FpgaImage.h"
#include "device/RegisterImage.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kx::tool {

namespace {

using namespace kx::device;

// Discovery boxes become lines on stderr; questions are answered No (debug mode is off).
class ConsolePrompt : public core::Prompt {
public:
    core::Answer message(const std::string& caption, const std::string& text,
                         core::MessageStyle style) override {
        std::string flat = text;
        for (auto at = flat.find("\r\n"); at != std::string::npos; at = flat.find("\r\n"))
            flat.replace(at, 2, " ");
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), flat.c_str());
        return style == core::MessageStyle::YesNo ? core::Answer::No : core::Answer::Ok;
    }
    std::string openFile(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return {};
    }
};

class ProgressPrinter : public LinkEvents {
public:
    void configurationProgress(int percent) override {
        std::printf("\rFPGA configuration: %3d %%", percent);
        std::fflush(stdout);
    }
};

std::string version(unsigned v) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%02u", v / 100, v % 100);
    return text;
}

void printStatus(const StatusInfo& s) {
    std::printf("Model: %s\n", core::modelName(s.deviceType).c_str());
    std::printf("Firmware version: %s\n", version(s.firmwareVersion).c_str());
    std::printf("FPGA version: %s\n", version(s.fpgaVersion).c_str());
    std::printf("Serial number: %016llX\n", static_cast<unsigned long long>(s.serial));
    std::printf("Supply voltage: %d.%03d V\n", s.supplyMillivolts / 1000, s.supplyMillivolts % 1000);
    std::printf("Flash memory: %s\n", s.flashFailure ? "failed" : "ok");
    std::printf("Zero calibration table: %s\n", s.zeroTableRead ? "valid" : "not valid");
    std::printf("System calibration table: %s\n", s.systemTableRead ? "valid" : "not valid");
}

void printSecond(const LinkCounts& c, const LinkStatistics& stats) {
    std::printf(" Received main packets per sec = %u\n", c.dataPackets);
    std::printf(" Received extra packets per sec = %u\n", c.statusPackets);
    std::printf(" CRC errors per sec = %u\n", c.crcErrors);
    std::printf(" Received driver data = %u Bytes/S\n", c.bytesRead);
    std::printf(" Leakage outside packets = %u Bytes/S\n", c.leakage);
    std::printf(" Driver buffer max loading = %u Bytes\n", c.maxQueue);
    std::printf(" Device reconfig. counter = %u\n", stats.framesSent.load());
    std::printf(" Device reconfig. errors = %u\n", stats.framesNotAcknowledged.load());
    std::printf("\n");
}

} // namespace

int cmdProbe(int argc, char** argv) {
    long seconds = 3;
    for (int i = 0; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            char* end = nullptr;
            seconds = std::strtol(argv[++i], &end, 10);
            if (end == argv[i] || *end != '\0' || seconds < 0 || seconds > 86400) {
                std::fprintf(stderr, "kx48zz-tool probe: bad --seconds value '%s'\n", argv[i]);
                return 2;
            }
        } else {
            std::fprintf(stderr, "usage: kx48zz-tool probe [--seconds N]\n");
            return 2;
        }
    }

    D2xxBinding binding;
    Connection connection;
    DataEvent event;
    ConsolePrompt prompt;
    if (!openInstrument("probe", binding, connection, event, prompt)) return 1;

    RequestFlags flags;
    LinkStatistics stats;
    StatusBoard board;
    RegisterImageHolder registers;
    ProgressPrinter progress;
    DeviceLink link(binding, connection, flags, stats, board, registers);
    link.setEvents(&progress);

    const FpgaImage image = FpgaImage::load();
    std::printf("FPGA image: %s\n", image.fromFile() ? kFpgaImageFile : "built-in");
    const bool ready = link.configureFpga(image.bytes());
    std::printf("\n");
    if (!ready) {
        std::fprintf(stderr,
                     "kx48zz-tool probe: the instrument did not report ready after its configuration\n");
        binding.close(connection.handle.load());
        return 1;
    }

    // The built-in settings with RUN down, through apply-settings like the program does.
    core::InstrumentState state;
    state.scope.Running = true;
    const app::DerivedQuantities derived = app::applySettings(state, registers);
    link.parser().setPointsPerChannel(static_cast<std::uint32_t>(derived.Points));
    flags.Running = true;
    const bool acked = link.sendSettings();
    std::printf("Settings frame %u: %s (status %d)\n", registers.sequence(),
                acked ? "acknowledged" : "no acknowledgement", connection.DeviceStatus.load());

    // Wait for a plain status packet so the fields below are current.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    while (std::chrono::steady_clock::now() < until) {
        event.wait(40);
        event.reset();
        link.readStep();
    }
    printStatus(board.snapshot());
    std::printf("\n");

    stats.takeSecond();
    for (long s = 0; s < seconds; ++s) {
        const auto second = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (std::chrono::steady_clock::now() < second) {
            event.wait(40);
            event.reset();
            link.readStep();
        }
        printSecond(stats.takeSecond(), stats);
    }

    // Leave the instrument idle.
    state.scope.Running = false;
    app::applySettings(state, registers);
    flags.Running = false;
    link.sendSettings();
    binding.close(connection.handle.load());
    return 0;
}

} // namespace kx::tool
