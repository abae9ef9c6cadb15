// SPDX-License-Identifier: GPL-3.0-or-later
// calibrate zero: the automatic zero calibration with the inputs as they are (disconnect them,
// or ground them on the simulator's bench), the measured table printed, and with --write
// uploaded and checked against what the instrument sends back.
#include "Commands.h"
#include "ToolGui.h"
#include "ToolSupport.h"

#include "acquisition/ScopeThread.h"
#include "app/ApplySettings.h"
#include "app/AssemblySettings.h"
#include "app/ModelFeatures.h"
#include "app/ZeroCalibrationImage.h"
#include "calibration/ZeroCalibration.h"
#include "core/DeviceModel.h"
#include "device/DeviceOpen.h"
#include "device/FpgaImage.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace kx::tool {

namespace {

using namespace std::chrono_literals;

constexpr auto kFrameWait = 5s; // per frame, configuration included for the first
constexpr auto kPollStep = 5ms;
constexpr auto kTableWait = 3s; // for the status packet that carries the written table back

int usage() {
    std::fprintf(stderr, "usage: kx48zz-tool calibrate zero [--write]\n");
    return 2;
}

// Runs the measurement in the synchronised update: each step's registers go out when the
// previous step has its 20 frames.
class CalibrationGui : public ToolGui {
public:
    CalibrationGui(device::RequestFlags& flags, device::RegisterImageHolder& registers,
                   device::StatusBoard& board, const core::FrameRecord& frame)
        : ToolGui(flags, registers, board), m_frame(frame) {}

    void configured() override {
        ToolGui::configured();
        const bool hasA2 = core::hasA2Input(state.system.UiDeviceType);
        m_run.start(state.calibration.ZeroTable, hasA2);
        m_flags.CalibrationRunPending = true;
        m_flags.Running = true;
        m_flags.SingleMode = false;
        sendStep();
    }

    void signalAreaUpdate() override {
        const core::FrameHeader& h = m_frame.header;
        const std::uint32_t counter = h[core::fh::FrameCounter];
        if (!m_run.running() || counter == 0 || counter == m_lastCounter) return;
        m_lastCounter = counter;
        const std::size_t step = m_run.stepIndex();
        const calibration::ZeroOutcome outcome =
            m_run.frame(app::zeroFrameFrom(h, m_board.snapshot().supplyRaw));
        if (outcome != calibration::ZeroOutcome::Measuring && outcome != calibration::ZeroOutcome::Failed) {
            const calibration::ZeroStep& s = calibration::kZeroSteps[step];
            const core::CalTable& t = m_run.table();
            std::printf("step %zu of %zu: DAC %u, gain code %u%s: A1 %u, A2 %u\n", step + 1,
                        calibration::kZeroSteps.size(), s.dac, s.gainCode, s.loaded ? ", supply loaded" : "",
                        core::calWord(t, 2 * s.wordA1), core::calWord(t, 2 * s.wordA2));
            std::fflush(stdout);
        }
        if (outcome == calibration::ZeroOutcome::NextStep) sendStep();
        if (outcome != calibration::ZeroOutcome::Measuring) {
            m_outcome = outcome;
            m_changed.notify_all();
        }
        ++m_frames;
        m_changed.notify_all();
    }

    // Waits for the next frame or the end; false on time-out.
    bool waitProgress(long long seen) {
        std::unique_lock lock(mutex);
        return m_changed.wait_for(lock, kFrameWait, [&] { return finished() || m_frames > seen; });
    }
    bool finished() const {
        return m_outcome == calibration::ZeroOutcome::Done || m_outcome == calibration::ZeroOutcome::Failed;
    }
    long long frames() const { return m_frames; }
    calibration::ZeroOutcome outcome() const { return m_outcome; }
    const calibration::ZeroCalibration& run() const { return m_run; }

private:
    void sendStep() {
        device::RegisterImage image = m_registers.snapshot();
        app::fillZeroCalibrationImage(image, m_run.step(), state.calibration.SystemTable);
        m_registers.publish(image);
        // The parser sizes data packets by the points of the settings in force.
        acquisition::AssemblyContext context =
            app::assemblyContext(state, app::computeDerived(state), m_registers.snapshot());
        m_thread->publishAssembly(context, 10000);
        m_thread->notifySettingsChanged();
    }

    const core::FrameRecord& m_frame;
    calibration::ZeroCalibration m_run;
    calibration::ZeroOutcome m_outcome = calibration::ZeroOutcome::Measuring;
    std::condition_variable m_changed;
    std::uint32_t m_lastCounter = 0;
    long long m_frames = 0;
};

void printTable(const core::CalTable& t) {
    std::printf("zero table:");
    for (std::size_t w = 0; w < 20; ++w)
        std::printf("%s%u", w % 10 == 0 ? "\n " : " ", core::calWord(t, 2 * w));
    std::printf("\nshift A1 %d, A2 %d, CRC 0x%04X\n", static_cast<std::int8_t>(t[core::kZeroByteShiftA1]),
                static_cast<std::int8_t>(t[core::kZeroByteShiftA2]),
                core::calWord(t, core::kCalTableCrcOffset));
}

} // namespace

int cmdCalibrate(int argc, char** argv) {
    if (argc < 1 || std::strcmp(argv[0], "zero") != 0) return usage();
    bool write = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--write"))
            write = true;
        else
            return usage();
    }

    device::D2xxBinding binding;
    device::Connection connection;
    device::DataEvent event;
    StderrPrompt prompt;
    if (!openInstrument("calibrate", binding, connection, event, prompt)) return 1;

    LinkParts link;
    CalibrationGui gui(link.flags, link.registers, link.board, *link.frame);
    app::applyModelFeatures(gui.state);
    acquisition::ScopeThread thread({binding, connection, event, link.flags, link.stats, link.board,
                                     link.registers, *link.frame, gui, gui, link.fpga.bytes(), nullptr});
    gui.setThread(&thread);
    {
        std::lock_guard lock(gui.mutex);
        gui.state.scope.Running = false;
        gui.settingsChanged();
    }
    link.flags.ReconfigureRequest = true;
    thread.start();

    bool timedOut = false;
    long long seen = 0;
    while (true) {
        if (!gui.waitProgress(seen)) {
            timedOut = true;
            break;
        }
        std::lock_guard lock(gui.mutex);
        if (gui.finished()) break;
        seen = gui.frames();
    }
    const bool configured = gui.configuredYet();

    int result = 0;
    core::CalTable table{};
    {
        std::lock_guard lock(gui.mutex);
        table = gui.run().table();
        if (timedOut) {
            if (!configured)
                std::fprintf(
                    stderr,
                    "kx48zz-tool calibrate: the instrument did not report ready after its configuration\n");
            else
                std::fprintf(stderr, "kx48zz-tool calibrate: no frame within %lld s\n",
                             static_cast<long long>(kFrameWait.count()));
            result = 1;
        } else if (gui.outcome() == calibration::ZeroOutcome::Failed) {
            std::fprintf(stderr,
                         "kx48zz-tool calibrate: Calibration failed. (step %zu: no steady reading on A1; "
                         "disconnect everything from the inputs)\n",
                         gui.run().stepIndex() + 1);
            result = 1;
        }
    }
    if (result == 0) {
        device::stampTableCrc(table);
        printTable(table);
        if (write) {
            std::uint32_t before = 0;
            {
                std::lock_guard lock(gui.mutex);
                before = link.board.snapshot().zeroTableUpdates;
                link.registers.requestTableUpload(device::CalTableKind::ZeroOffset, table);
                link.flags.CalibrationRunPending = false;
                thread.notifySettingsChanged();
            }
            // The board takes tables again only once the upload was answered: the first one it
            // takes after that is what the instrument keeps.
            const auto end = std::chrono::steady_clock::now() + kTableWait;
            bool back = false, same = false;
            while (std::chrono::steady_clock::now() < end) {
                const device::StatusInfo st = link.board.snapshot();
                if (st.zeroTableUpdates != before && !link.registers.tablesBusy()) {
                    back = true;
                    same = st.zeroTable == table;
                    if (same) break;
                }
                std::this_thread::sleep_for(kPollStep);
            }
            if (!back) {
                std::fprintf(stderr,
                             "kx48zz-tool calibrate: the instrument sent no table back after the upload\n");
                result = 1;
            } else if (!same) {
                std::fprintf(stderr, "kx48zz-tool calibrate: the instrument kept a different table\n");
                result = 1;
            } else {
                std::printf("written: the instrument keeps the table\n");
            }
        }
    }
    gui.close();
    thread.stop();

    // Leave the instrument idle with its own settings.
    if (link.flags.DeviceReady) {
        std::lock_guard lock(gui.mutex);
        gui.state.scope.Running = false;
        link.flags.Running = false;
        link.flags.CalibrationRunPending = false;
        app::applySettings(gui.state, link.registers);
        thread.link().sendSettings();
    }
    binding.close(connection.handle.load());
    return result;
}

} // namespace kx::tool
