// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Prompt.h"

#include <QString>

#include <functional>

class QWidget;

namespace kx::app {

// Message boxes and file dialogs over the main window. Every box and dialog is a modal
// operation: the busy hook marks the instance busy while it is open.
class QtPrompt : public core::Prompt {
public:
    explicit QtPrompt(QWidget* parent) : m_parent(parent) {}
    void setBusyHook(std::function<void(bool)> hook) { m_busy = std::move(hook); }
    // The language of the box's own buttons, asked when a box is shown.
    void setRussianSource(std::function<bool()> russian) { m_russian = std::move(russian); }

    core::Answer message(const std::string& caption, const std::string& text, core::MessageStyle style) override;
    std::string openFile(const std::string& title, const std::string& filter, const std::string& initialDir) override;
    std::string saveFile(const std::string& title, const std::string& filter, const std::string& initialDir,
                         const std::string& defaultName) override;

private:
    QWidget* m_parent;
    std::function<void(bool)> m_busy;
    std::function<bool()> m_russian;
};

// Windows-style filters ("Data files (*.kxd)|*.kxd|All files|*.*") in Qt's form.
QString qtFilter(const std::string& filter);

} // namespace kx::app
