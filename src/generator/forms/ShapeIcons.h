// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/GeneratorState.h"

#include <QIcon>

namespace kx::generator {

// The glyph of a waveform shape for the shape buttons of the panel and the dialog.
QIcon shapeIcon(core::GenShape shape);

} // namespace kx::generator
