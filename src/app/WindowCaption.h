// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace kx::app {

// What the window caption is made of, rebuilt with every frame.
struct CaptionInputs {
    std::int32_t uiDeviceType = 0;
    bool deviceReady = false;
    std::int32_t reportedDeviceType = 0;
    bool frameFromFile = false;
    std::string dataFileName; // without directory
    std::uint32_t captureLength = 0;
    std::uint32_t frameCounter = 0;
    bool backgroundExists = false;
    bool backgroundFromFile = false;
    std::string backgroundFileName;
    std::uint32_t backgroundCounter = 0;
};

std::string windowCaption(const CaptionInputs& in);

// The model question of the per-frame processing: asked only while a RUN or SINGLE press
// left it pending and a frame with samples reports another, known type.
bool modelQuestionDue(bool modelCheckPending, std::uint32_t captureLength, std::int32_t frameDeviceType,
                      std::int32_t uiDeviceType);

// Caption and text of that question.
std::string modelQuestionCaption(bool russian);
std::string modelQuestionText(std::int32_t frameDeviceType, bool russian);

} // namespace kx::app
