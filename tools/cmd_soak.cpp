// SPDX-License-Identifier: GPL-3.0-or-later
// soak: the acquisition against the simulated instrument for N minutes, with bit errors in both
// directions all the time and, at seeded moments, lost acknowledgements, error bursts, an unplugged
// cable, a power failure or a flash failure. Timer1's supervision runs once a second and every
// recovery question is answered Yes after the fault was undone, as a user would. Prints each
// incident with its recovery and duration, the link figures and the resident memory at the start
// and the end; fails when a recovery does not complete (a hang) or frames stop for no reason.
#include "Commands.h"
#include "SoakPlan.h"
#include "ToolGui.h"
#include "ToolSupport.h"

#include "app/ModelFeatures.h"
#include "app/Supervision.h"
#include "device/DeviceOpen.h"
#include "device/FpgaImage.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kx::tool {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// An incident that has not ended within this is a hang.
constexpr double kHangSeconds = 60;
// Frames flowing again: this many drawn after the fault was undone and the recovery ran.
constexpr std::uint32_t kFramesToEnd = 3;
// A user changes a setting this often, so settings frames (and their acknowledgements) cross the
// faulty link all the time.
constexpr double kSettingsEverySeconds = 3;
// Without any fault, frames never pause this long.
constexpr double kStallSeconds = 20;
constexpr double kBurstSeconds = 2;

int usage() {
    std::fprintf(stderr, "usage: kx48zz-tool --simulator soak --minutes N [--seed S]\n");
    return 2;
}

long residentKb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

const char* recoveryName(app::Recovery r) {
    switch (r) {
    case app::Recovery::UsbLost:
        return "USB connection lost";
    case app::Recovery::FpgaFailure:
        return "FPGA configuration failure";
    case app::Recovery::PowerFailure:
        return "power failure";
    case app::Recovery::FlashFailure:
        return "flash failure";
    case app::Recovery::None:
        break;
    }
    return "none";
}

struct Incident {
    std::string cause;
    double start = 0;
    std::string undo;
    bool undone = false;
    bool burst = false;
    std::vector<app::Recovery> recoveries;
    std::uint32_t framesMark = 0; // frames drawn when the fault was undone or last recovered from
    double end = -1;
};

// The window's side of the supervision: recovery questions are answered Yes once the fault they
// ask about has been undone; warnings are counted.
class SoakHost : public app::SupervisionHost, public StderrPrompt {
public:
    SoakHost(ToolGui& gui, acquisition::ScopeThread& thread, device::D2xxBinding& binding,
             device::Connection& connection, device::DataEvent& event, const device::OpenOptions& options,
             int (*control)(const char*))
        : m_gui(gui), m_thread(thread), m_binding(binding), m_connection(connection), m_event(event),
          m_options(options), m_control(control) {}

    bool busy() override { return false; }
    void markBusy(bool) override {}
    core::Prompt& prompt() override { return *this; }
    bool russian() override { return false; }
    void saveProgramSettings() override {}
    void suspendAcquisition() override {
        // The thread may wait in a synchronised update for the GUI lock held by this tick.
        if (guiLock != nullptr) guiLock->unlock();
        m_thread.stop();
        if (guiLock != nullptr) guiLock->lock();
    }
    void resumeAcquisition() override { m_thread.start(); }
    int reopenDevice() override {
        return device::openDevice(m_binding, m_connection, m_event, *this, m_options);
    }
    void releaseRunButtons() override {
        m_gui.state.scope.Running = false;
        m_gui.state.scope.SingleMode = false;
        m_gui.state.generator.On = false;
    }
    void settingsChanged() override { m_gui.settingsChanged(); }
    void loadBuiltInCalibration() override {}
    std::uint32_t displayedFrames() override { return m_thread.displayedFrames(); }

    core::Answer message(const std::string&, const std::string&, core::MessageStyle style) override {
        if (style != core::MessageStyle::YesNo) {
            ++warnings;
            return core::Answer::Ok;
        }
        ++questions;
        // The user plugs the cable back in (or the like), then answers.
        if (incident != nullptr && !incident->undone && !incident->undo.empty()) {
            m_control(incident->undo.c_str());
            incident->undone = true;
        }
        return core::Answer::Yes;
    }

    std::unique_lock<std::mutex>* guiLock = nullptr;
    Incident* incident = nullptr;
    int warnings = 0;
    int questions = 0;

private:
    ToolGui& m_gui;
    acquisition::ScopeThread& m_thread;
    device::D2xxBinding& m_binding;
    device::Connection& m_connection;
    device::DataEvent& m_event;
    const device::OpenOptions& m_options;
    int (*m_control)(const char*);
};

bool parseOptions(int argc, char** argv, double& minutes, std::uint32_t& seed) {
    bool haveMinutes = false;
    for (int i = 0; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--minutes") && i + 1 < argc) {
            char* end = nullptr;
            minutes = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(minutes > 0) || minutes > 10000) return false;
            haveMinutes = true;
        } else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) {
            long long v = 0;
            if (!parseInt(argv[++i], v) || v < 0 || v > 0xFFFFFFFFLL) return false;
            seed = static_cast<std::uint32_t>(v);
        } else {
            return false;
        }
    }
    return haveMinutes;
}

} // namespace

int cmdSoak(int argc, char** argv) {
    double minutes = 0;
    std::uint32_t seed = 1;
    if (!parseOptions(argc, argv, minutes, seed)) return usage();

    device::D2xxBinding binding;
    device::Connection connection;
    device::DataEvent event;
    StderrPrompt openPrompt;
    device::OpenOptions openOptions;
    openOptions.caption = "kx48zz-tool";
    const int status = device::openDevice(binding, connection, event, openPrompt, openOptions);
    connection.DeviceStatus = status;
    if (status != 0) {
        printUsbError("soak", status);
        return 1;
    }
    const auto control = binding.simulatorControl();
    if (control == nullptr) {
        std::fprintf(stderr, "kx48zz-tool soak: needs the simulated instrument (--simulator)\n");
        binding.close(connection.handle.load());
        return 1;
    }
    const std::string seedText = "seed=" + std::to_string(seed);
    control(seedText.c_str());
    control(SoakPlan::kBackgroundErrors);

    LinkParts link;
    ToolGui gui(link.flags, link.registers, link.board);
    app::applyModelFeatures(gui.state);
    acquisition::ScopeThread thread({binding, connection, event, link.flags, link.stats, link.board,
                                     link.registers, *link.frame, gui, gui, link.fpga.bytes()});
    gui.setThread(&thread);
    SoakHost host(gui, thread, binding, connection, event, openOptions, control);
    app::Supervisor supervisor(
        {binding, connection, link.flags, link.stats, link.board, link.registers, thread.link()}, host);
    {
        std::lock_guard lock(gui.mutex);
        gui.state.scope.Running = true;
        gui.settingsChanged();
    }
    link.flags.ReconfigureRequest = true;
    thread.start();

    std::printf("soak: %.2f min, seed %u, bit errors in both directions throughout\n", minutes, seed);
    std::fflush(stdout);
    const auto t0 = Clock::now();
    const auto seconds = [&] { return std::chrono::duration<double>(Clock::now() - t0).count(); };
    const double deadline = minutes * 60;

    SoakPlan plan(seed);
    SoakEvent next = plan.next(0);
    std::optional<Incident> open;
    std::vector<Incident> closed;
    std::uint64_t crcErrors = 0, dataPackets = 0, leakage = 0;
    long rssStart = -1;
    double nextTick = 1;
    double nextSettings = kSettingsEverySeconds;
    std::uint32_t lastFrames = 0;
    double lastFrameAt = 0;
    std::string failure;

    for (;;) {
        std::this_thread::sleep_for(20ms);
        const double now = seconds();
        const std::uint32_t frames = thread.displayedFrames();
        if (frames != lastFrames) {
            lastFrames = frames;
            lastFrameAt = now;
        }
        if (rssStart < 0 && frames >= 10) rssStart = residentKb();

        if (now >= nextTick) {
            nextTick += 1;
            std::unique_lock lock(gui.mutex);
            host.guiLock = &lock;
            host.incident = open ? &*open : nullptr;
            const app::Recovery r = supervisor.tick();
            host.guiLock = nullptr;
            const device::ShownStatistics& shown = supervisor.shown();
            crcErrors += shown.crcErrors;
            dataPackets += shown.dataPackets;
            leakage += shown.leakage;
            if (r != app::Recovery::None) {
                if (!open) open = Incident{"link errors", now, "", true, false, {}, 0, -1};
                open->recoveries.push_back(r);
                open->framesMark = thread.displayedFrames();
            }
            // A recovery answered No or a failed one releases RUN; the user presses it again.
            if (!gui.state.scope.Running && link.flags.DeviceConfigured) {
                gui.state.scope.Running = true;
                supervisor.armWarnings();
                gui.settingsChanged();
            }
        }
        if (now >= nextSettings) {
            nextSettings += kSettingsEverySeconds;
            std::lock_guard lock(gui.mutex);
            gui.settingsChanged();
        }

        if (!open && now < deadline && now >= next.atSeconds && rssStart >= 0) {
            control(next.make.c_str());
            if (next.fault == SoakFault::LostAcks) {
                // The next settings frames go unacknowledged.
                std::lock_guard lock(gui.mutex);
                gui.settingsChanged();
            }
            Incident i;
            i.cause = soakFaultName(next.fault);
            i.start = now;
            i.undo = next.undo;
            i.burst = next.fault == SoakFault::ErrorBurst;
            // Lost acknowledgements end by themselves.
            i.undone = next.undo.empty();
            i.framesMark = thread.displayedFrames();
            open = i;
        }
        if (open) {
            if (open->burst && !open->undone && now - open->start >= kBurstSeconds) {
                control(open->undo.c_str());
                open->undone = true;
                open->framesMark = thread.displayedFrames();
            }
            if (open->undone && thread.displayedFrames() >= open->framesMark + kFramesToEnd) {
                open->end = now;
                std::printf("%8.1f s  %-22s", open->start, open->cause.c_str());
                for (const app::Recovery r : open->recoveries)
                    std::printf("  recovered: %s (code %d)", recoveryName(r), static_cast<int>(r));
                if (open->recoveries.empty()) std::printf("  no recovery needed");
                std::printf("  frames again after %.2f s\n", open->end - open->start);
                std::fflush(stdout);
                closed.push_back(*open);
                open.reset();
                next = plan.next(now);
            } else if (now - open->start > kHangSeconds) {
                failure = "no recovery from the " + open->cause + " at " + std::to_string(open->start) + " s";
                break;
            }
        } else if (now - lastFrameAt > kStallSeconds) {
            failure = "frames stopped at " + std::to_string(lastFrameAt) + " s without a fault";
            break;
        }
        if (now >= deadline && !open) break;
    }

    const long rssEnd = residentKb();
    gui.close();
    thread.stop();
    binding.close(connection.handle.load());

    std::size_t recoveries = 0;
    double longest = 0, total = 0;
    for (const Incident& i : closed) {
        recoveries += i.recoveries.size();
        longest = std::max(longest, i.end - i.start);
        total += i.end - i.start;
    }
    std::printf("frames drawn %u, data packets %llu, CRC errors %llu, leakage %llu bytes\n", lastFrames,
                static_cast<unsigned long long>(dataPackets), static_cast<unsigned long long>(crcErrors),
                static_cast<unsigned long long>(leakage));
    std::printf("settings frames sent %u, not acknowledged %u\n", link.stats.framesSent.load(),
                link.stats.framesNotAcknowledged.load());
    std::printf(
        "incidents %zu, recoveries %zu, questions %d, warnings %d; back to frames in %.2f s on average, "
        "%.2f s at most\n",
        closed.size(), recoveries, host.questions, host.warnings,
        closed.empty() ? 0.0 : total / static_cast<double>(closed.size()), longest);
    std::printf("resident memory: %ld kB at the start, %ld kB at the end\n", rssStart, rssEnd);
    if (!failure.empty()) {
        std::fprintf(stderr, "kx48zz-tool soak: FAILED: %s\n", failure.c_str());
        return 1;
    }
    std::printf("soak: passed\n");
    return 0;
}

} // namespace kx::tool
