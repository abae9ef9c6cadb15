// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Prompt.h"

#include <string>
#include <vector>

// Keeps every message box it is asked to show; file dialogs are always cancelled.
class RecordingPrompt : public kx::core::Prompt {
public:
    struct Shown {
        std::string caption, text;
        kx::core::MessageStyle style;
    };
    std::vector<Shown> shown;

    kx::core::Answer message(const std::string& caption, const std::string& text,
                             kx::core::MessageStyle style) override {
        shown.push_back({caption, text, style});
        return kx::core::Answer::Ok;
    }
    std::string openFile(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return {};
    }
};
