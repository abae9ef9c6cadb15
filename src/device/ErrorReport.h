// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Prompt.h"

#include <string>

namespace kx::device {

// "USB Error - <code>" in the chosen language.
std::string usbErrorCaption(int code, bool russian);
// The text for a D2XX status or one of the program's codes.
std::string usbErrorText(int code, bool russian);
// Shows the error report: an error box with the caption and text above.
void reportUsbError(core::Prompt& prompt, int code, bool russian);

} // namespace kx::device
