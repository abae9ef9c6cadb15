// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx::core {

// Message box styles: error icon with OK, Yes/No with a question icon, warning icon with OK,
// Yes/No with a warning icon, information icon with OK. Only Yes of a Yes/No box proceeds.
enum class MessageStyle { Error = 16, Question = 36, Warning = 48, YesNo = 52, Information = 64 };
enum class Answer { Ok, Yes, No };

// Logic never opens a dialog itself: it asks through this interface. The program shows
// message boxes and file dialogs; tests answer from a script. Texts may hold "\r\n".
class Prompt {
public:
    virtual ~Prompt() = default;
    virtual Answer message(const std::string& caption, const std::string& text, MessageStyle style) = 0;
    // Returns the chosen path, or an empty string when the user cancels.
    virtual std::string openFile(const std::string& title, const std::string& filter,
                                 const std::string& initialDir) = 0;
    virtual std::string saveFile(const std::string& title, const std::string& filter,
                                 const std::string& initialDir, const std::string& defaultName) = 0;
};

} // namespace kx::core
