// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WindowCaption.h"

#include "core/DeviceModel.h"
#include "core/Text.h"

namespace kx::app {

std::string windowCaption(const CaptionInputs& in) {
    std::string c = core::modelName(in.uiDeviceType) + " ";
    if (in.deviceReady && in.reportedDeviceType != in.uiDeviceType)
        c += " (" + core::modelName(in.reportedDeviceType) + ") ";
    if (in.frameFromFile) {
        c += " - " + in.dataFileName;
    } else if (in.backgroundExists || in.backgroundFromFile) {
        c += in.captureLength != 0 ? " -  " + std::to_string(in.frameCounter) : std::string(" - ...");
    }
    if (in.backgroundFromFile)
        c += "  //  " + in.backgroundFileName;
    else if (in.backgroundExists)
        c += "  //   " + std::to_string(in.backgroundCounter);
    return c;
}

bool modelQuestionDue(bool modelCheckPending, std::uint32_t captureLength, std::int32_t frameDeviceType,
                      std::int32_t uiDeviceType) {
    return modelCheckPending && captureLength != 0 && frameDeviceType != 0 && frameDeviceType != uiDeviceType;
}

namespace {
constexpr core::TextPair kQuestionText{"Change interface for ", "Перестроить интерфейс для "};
} // namespace

std::string modelQuestionCaption(bool russian) {
    return core::kWarningCaption.pick(russian);
}

std::string modelQuestionText(std::int32_t frameDeviceType, bool russian) {
    return std::string(kQuestionText.pick(russian)) + core::modelName(frameDeviceType) + "? ";
}

} // namespace kx::app
