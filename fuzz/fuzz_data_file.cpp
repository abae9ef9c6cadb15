// SPDX-License-Identifier: GPL-3.0-or-later
// The data-file reader over any file.
#include "core/FrameRecord.h"
#include "files/DataFile.h"

#include "FuzzSupport.h"

#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto frame = std::make_unique<kx::core::FrameRecord>();
    static auto background = std::make_unique<kx::core::FrameRecord>();
    static std::vector<double> specA1(16384), specA2(16384), ets(163840);
    bool laneSwap = false;
    kx::files::DataFileRecords records{*frame, *background, laneSwap, specA1, specA2, ets};
    kx::files::DataFileNames names;
    kx::fuzz::QuietPrompt prompt;
    kx::files::OpenDataFileOptions options;
    options.uiDeviceType = 0x23;
    options.switchModel = [](std::uint32_t) { return std::string("model"); };
    const std::string path = kx::fuzz::inputFile(data, size, ".kxd");
    kx::files::OpenDataFile(path, records, names, prompt, options);
    return 0;
}
