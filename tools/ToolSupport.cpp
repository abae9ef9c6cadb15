// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolSupport.h"

#include "analyzers/Spectrum.h"

#include "app/ModelFeatures.h"
#include "core/DeviceModel.h"
#include "device/ErrorReport.h"
#include "files/DataFile.h"
#include "files/SettingsFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kx::tool {

std::string plainLines(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        plain.push_back(text[i]);
    }
    return plain;
}

core::Answer StderrPrompt::message(const std::string& caption, const std::string& text,
                                   core::MessageStyle style) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), plainLines(text).c_str());
    // Questions are answered No: the tool never changes anything behind the user's back.
    return style == core::MessageStyle::YesNo ? core::Answer::No : core::Answer::Ok;
}

void printUsbError(const char* command, int status) {
    const std::string report =
        device::usbErrorReportText(status, false, device::usbPermissionMissing(status));
    std::string text;
    for (char c : report)
        if (c != '\r') text.push_back(c);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    std::fprintf(stderr, "kx48zz-tool %s: %s: %s\n", command, device::usbErrorCaption(status, false).c_str(),
                 text.c_str());
}

bool openInstrument(const char* command, device::D2xxBinding& binding, device::Connection& connection,
                    device::DataEvent& event, core::Prompt& prompt) {
    device::OpenOptions options;
    options.caption = "kx48zz-tool";
    const int status = device::openDevice(binding, connection, event, prompt, options);
    connection.DeviceStatus = status;
    if (status == 0) return true;
    printUsbError(command, status);
    return false;
}

bool parseInt(const char* text, long long& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text, &end, 10);
    return errno == 0 && end && *end == '\0';
}

bool loadDataFile(const std::string& path, LoadedDataFile& out) {
    StderrPrompt prompt;
    out.spectrumA1.assign(analyzers::kMaxSpectrumBins, 0.0);
    out.spectrumA2.assign(analyzers::kMaxSpectrumBins, 0.0);
    out.etsSpectrum.assign(analyzers::kMaxEtsSpectrumBins, 0.0);
    files::DataFileRecords records{*out.frame,     *out.background, out.bgLaneSwap,
                                   out.spectrumA1, out.spectrumA2,  out.etsSpectrum};
    files::DataFileNames names;
    files::OpenDataFileOptions options;
    options.uiDeviceType = static_cast<std::uint32_t>(out.state.system.UiDeviceType);
    options.switchModel = [&](std::uint32_t type) {
        out.state.system.UiDeviceType = static_cast<std::int32_t>(type);
        app::applyModelFeatures(out.state);
        return core::modelName(static_cast<std::int32_t>(type));
    };
    options.readSettings = [&](const std::string& settings) {
        const files::ReadResult read =
            files::ReadSettingsFile(settings, files::SettingsKind::User, out.state, prompt);
        out.companionRead = read.markerFound && !read.refused;
        if (out.companionRead) app::applyModelFeatures(out.state);
        return out.companionRead;
    };
    const auto status = files::OpenDataFile(path, records, names, prompt, options);
    return status == files::DataFileStatus::Ok;
}

} // namespace kx::tool
