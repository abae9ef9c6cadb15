// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Prompt.h"
#include "device/UsbAccess.h"

#include <string>

namespace kx::device {

// "USB Error - <code>" in the chosen language.
std::string usbErrorCaption(int code, bool russian);
// The text for a D2XX status or one of the program's codes.
std::string usbErrorText(int code, bool russian);
// The line that follows the text when the instrument is attached but this user may not open it.
const char* usbPermissionHint(bool russian);
// The text of the error report: usbErrorText, and the permission line on its own line after it
// when `permissionMissing` (only for the driver's own statuses, not for a missing driver).
std::string usbErrorReportText(int code, bool russian, bool permissionMissing);
// Whether the permission line applies: a driver status and an attached instrument this user may not open.
bool usbPermissionMissing(int code, const UsbAccessProbe& probe = {});

// Shows the error report: an error box with the caption and text above.
void reportUsbError(core::Prompt& prompt, int code, bool russian, const UsbAccessProbe& probe = {});

} // namespace kx::device
