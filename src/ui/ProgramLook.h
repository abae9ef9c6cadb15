// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx::ui {

// The program's style and font for the whole application: Fusion, and Tahoma 8 pt from Debian's
// fonts-wine where it is installed (the desktop's font otherwise). Call after QApplication exists.
void applyProgramLook();

} // namespace kx::ui
