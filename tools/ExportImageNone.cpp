// SPDX-License-Identifier: GPL-3.0-or-later
// Builds without the GUI libraries cannot draw the picture.
#include "Commands.h"
#include "ExportImage.h"

namespace kx::tool {

files::ExportStatus exportImage(files::ExportContext&, LoadedDataFile&) {
    notAvailable("export --image");
    return files::ExportStatus::Cancelled;
}

} // namespace kx::tool
