// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ToolSupport.h"

#include "files/Exports.h"

namespace kx::tool {

// "Image...": the frame drawn offscreen at the window's design size with its companion
// settings, then saved as the item saves it. Cancelled when this build cannot draw.
files::ExportStatus exportImage(files::ExportContext& context, LoadedDataFile& loaded);

} // namespace kx::tool
