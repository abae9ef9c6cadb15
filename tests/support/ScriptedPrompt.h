// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The prompt of the tests: every message box is kept and answered from a script; without one,
// questions get `otherwise` and other boxes Ok. File dialogs return scripted paths, then cancel.
#include "core/Prompt.h"

#include <deque>
#include <string>
#include <vector>

namespace kx::testing {

class ScriptedPrompt : public core::Prompt {
public:
    struct Shown {
        std::string caption;
        std::string text;
        core::MessageStyle style;
    };

    explicit ScriptedPrompt(core::Answer otherwise = core::Answer::No) : m_otherwise(otherwise) {}

    core::Answer message(const std::string& caption, const std::string& text, core::MessageStyle style) override {
        shown.push_back({caption, text, style});
        // A script answers the messages in the order they come, whatever their style.
        if (!answers.empty()) {
            const core::Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        const bool question = style == core::MessageStyle::YesNo || style == core::MessageStyle::Question;
        return question ? m_otherwise : core::Answer::Ok;
    }
    std::string openFile(const std::string& title, const std::string& filter, const std::string& dir) override {
        dialog = {title, filter, dir, {}};
        return next(opened);
    }
    std::string saveFile(const std::string& title, const std::string& filter, const std::string& dir,
                         const std::string& name) override {
        dialog = {title, filter, dir, name};
        return next(saved);
    }

    // What the last file dialog was shown with.
    struct Dialog {
        std::string title, filter, dir, offeredName;
    };
    Dialog dialog;

    std::vector<Shown> shown;
    std::deque<core::Answer> answers;
    std::deque<std::string> opened; // paths the open dialogs return
    std::deque<std::string> saved;  // paths the save dialogs return

private:
    static std::string next(std::deque<std::string>& q) {
        if (q.empty()) return {};
        std::string p = q.front();
        q.pop_front();
        return p;
    }
    core::Answer m_otherwise;
};

} // namespace kx::testing
