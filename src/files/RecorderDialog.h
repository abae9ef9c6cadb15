// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"
#include "core/Prompt.h"
#include "core/Text.h"
#include "files/RecorderFile.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace kx::files {

// What Menu_Recorder checks before it opens the dialog (DeviceStatus probed just before).
struct RecorderConditions {
    bool running = false;     // RUN down
    bool rollMode = false;    // 0.1 s/div or slower, trigger off
    bool deviceReady = false; // DeviceReady
    int deviceStatus = -1;    // 0 = connection working
    bool a1Shown = false;     // Menu_CH_A1
    bool networkAnalyzer = false;
    bool antennaAnalyzer = false;
};

// True when the dialog may open; otherwise shows why not.
bool checkRecorderConditions(core::Prompt& prompt, bool russian, const RecorderConditions& conditions);

// The clock of the dialog and the locale's way of writing a date and time; tests bring their own.
class RecorderClock {
public:
    using TimePoint = std::chrono::system_clock::time_point;
    virtual ~RecorderClock() = default;
    virtual TimePoint now() = 0;
    virtual std::string dateTime(TimePoint t) = 0;
};

// The plain logic of TForm_Recorder: file name, info text, buttons, size label, start and stop
// with their questions, and the text file written when a recording stops. The form shows what
// it says and forwards its buttons and timer here.
class RecorderDialog {
public:
    struct Buttons {
        bool file = true, start = true, stop = false, exit = true;
    };

    // `frameHeader` gives the current frame's header (copied under the record's lock);
    // `recordingChanged` runs after a recording started or stopped, so the acquisition learns it.
    RecorderDialog(BinaryRecorder& recorder, core::Prompt& prompt, RecorderClock& clock,
                   std::function<core::FrameHeader()> frameHeader, std::function<void()> recordingChanged);

    // Dialog opening: language and separator for this showing, the file "recorder.bin" in lastDir.
    void open(bool russian, const std::string& lastDir, char decimalSeparator = '.');
    // Button_File: a save dialog without overwrite question; lastDir follows the choice.
    void chooseFile(std::string& lastDir);
    // Button_Start: asks before replacing a file; false when nothing started.
    bool start();
    // Button_Stop (closing = false) and closing the window while recording (closing = true):
    // asks first; false when the answer keeps the recording going.
    bool stop(bool closing);
    // Timer1.
    void tick();

    [[nodiscard]] bool recording() const { return m_recorder.recording(); }
    [[nodiscard]] const std::string& fileName() const { return m_file; }          // Edit_File
    [[nodiscard]] const std::vector<std::string>& info() const { return m_info; } // Memo_Info lines
    [[nodiscard]] std::string sizeLabel() const;                                  // Label_Size
    [[nodiscard]] const Buttons& buttons() const { return m_buttons; }

private:
    void rebuildInfo();
    void writeTextFile();
    [[nodiscard]] double elapsedSeconds() const;
    const char* pick(const core::TextPair& t) const { return t.pick(m_russian); }

    BinaryRecorder& m_recorder;
    core::Prompt& m_prompt;
    RecorderClock& m_clock;
    std::function<core::FrameHeader()> m_frameHeader;
    std::function<void()> m_recordingChanged;

    bool m_russian = false;
    char m_separator = '.';
    std::string m_file;
    std::vector<std::string> m_info;
    bool m_showCounters = false; // the size label shows the counters
    RecorderClock::TimePoint m_start{};
    RecorderClock::TimePoint m_last{};
    Buttons m_buttons;
};

} // namespace kx::files
