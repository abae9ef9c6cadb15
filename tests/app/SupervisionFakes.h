// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Supervision.h"
#include "core/Prompt.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kx::app::test {

// The window's side of the supervision with scripted answers. Every call is written to `log`,
// so a test sees the order of saving, suspending, asking and re-opening. Message boxes go to
// `boxes` with the busy depth they were shown under.
class FakeHost : public SupervisionHost, public core::Prompt {
public:
    struct Box {
        std::string caption, text;
        core::MessageStyle style;
        int busyDepth = 0;
    };

    // --- SupervisionHost
    bool busy() override { return busyFlag || busyDepth > 0; }
    void markBusy(bool on) override {
        busyDepth += on ? 1 : -1;
        log.push_back(on ? "busy+" : "busy-");
    }
    core::Prompt& prompt() override { return *this; }
    bool russian() override { return ru; }
    void saveProgramSettings() override { log.push_back("save"); }
    void suspendAcquisition() override {
        log.push_back("suspend");
        if (onSuspend) onSuspend();
    }
    void resumeAcquisition() override {
        log.push_back("resume");
        if (onResume) onResume();
    }
    int reopenDevice() override {
        log.push_back("reopen");
        return reopen ? reopen() : 0;
    }
    void releaseRunButtons() override {
        log.push_back("release");
        if (onRelease) onRelease();
    }
    void settingsChanged() override {
        log.push_back("settings");
        if (onSettingsChanged) onSettingsChanged();
    }
    void loadBuiltInCalibration() override { log.push_back("calibration"); }
    std::uint32_t displayedFrames() override { return displayedCount ? displayedCount() : displayed; }
    std::string awgFile() override { return awgPath; }
    void compileAwg(bool quiet) override {
        log.push_back(quiet ? "compile quiet" : "compile");
        compileBusyDepth = busyDepth;
    }
    void clearAwgMarks() override { log.push_back("marks"); }

    // --- core::Prompt
    core::Answer message(const std::string& caption, const std::string& text,
                         core::MessageStyle style) override {
        boxes.push_back({caption, text, style, busyDepth});
        log.push_back("box " + text);
        if (style != core::MessageStyle::YesNo) return core::Answer::Ok;
        if (onQuestion) onQuestion();
        if (answers.empty()) return core::Answer::No;
        const core::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::string openFile(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return {};
    }

    // Position of the first log entry equal to `entry`, or -1.
    int at(const std::string& entry) const {
        for (std::size_t i = 0; i < log.size(); ++i)
            if (log[i] == entry) return static_cast<int>(i);
        return -1;
    }
    int count(const std::string& entry) const {
        int n = 0;
        for (const auto& e : log) n += e == entry ? 1 : 0;
        return n;
    }
    std::vector<Box> questions() const {
        std::vector<Box> q;
        for (const auto& b : boxes)
            if (b.style == core::MessageStyle::YesNo) q.push_back(b);
        return q;
    }
    std::vector<std::string> warnings() const {
        std::vector<std::string> w;
        for (const auto& b : boxes)
            if (b.style == core::MessageStyle::Warning) w.push_back(b.text);
        return w;
    }
    void clear() {
        log.clear();
        boxes.clear();
    }

    bool ru = false;
    bool busyFlag = false;
    int busyDepth = 0;
    int compileBusyDepth = -1;
    std::uint32_t displayed = 0;
    std::string awgPath;
    std::deque<core::Answer> answers; // for the Yes/No boxes in order; none left: No
    std::vector<std::string> log;
    std::vector<Box> boxes;

    std::function<void()> onSuspend, onResume, onRelease, onSettingsChanged, onQuestion;
    std::function<int()> reopen;
    std::function<std::uint32_t()> displayedCount;
};

} // namespace kx::app::test
