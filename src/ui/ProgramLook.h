// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx::ui {

// The program's style and font for the whole application: Fusion, and Tahoma 8 pt from Debian's
// fonts-wine where it is installed (the desktop's font otherwise). Call after QApplication exists.
void applyProgramLook();

// Pressed toggle buttons in a colour of their own, whatever the desktop palette: a light grey
// on white is not enough to tell RUN, a time base or a range that is down from one that is up.
const char* checkedButtonStyleSheet();

} // namespace kx::ui
