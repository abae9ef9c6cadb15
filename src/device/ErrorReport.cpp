// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/ErrorReport.h"

#include "core/Text.h"
#include "device/D2xxBinding.h"

namespace kx::device {

namespace {
constexpr core::TextPair kCaption{"USB Error", "Ошибка USB"};
constexpr core::TextPair kInvalidHandle{"Invalid handle.", "Неверный дескриптор."};
constexpr core::TextPair kNotFound{"Device not found.", "Устройство не найдено."};
constexpr const char* kNotOpened = "Device not opened. Make sure serial port driver is not loaded \r\n";
constexpr const char* kNoLibrary = "Can't load libftd2xx.so";
constexpr const char* kMissingEntry = "Ftd2xx.dll error.\r\nCan't find ";
constexpr core::TextPair kOther{"Error - ", "Ошибка - "};
} // namespace

std::string usbErrorCaption(int code, bool russian) {
    return std::string(kCaption.pick(russian)) + " - " + std::to_string(code);
}

std::string usbErrorText(int code, bool russian) {
    switch (code) {
    case 1:
        return kInvalidHandle.pick(russian);
    case 2:
        return kNotFound.pick(russian);
    case 3:
        return kNotOpened;
    case 100:
        return kNoLibrary;
    default:
        break;
    }
    if (const char* entry = missingEntryName(code); entry != nullptr)
        return std::string(kMissingEntry) + entry;
    return std::string(kOther.pick(russian)) + std::to_string(code);
}

void reportUsbError(core::Prompt& prompt, int code, bool russian) {
    prompt.message(usbErrorCaption(code, russian), usbErrorText(code, russian), core::MessageStyle::Error);
}

} // namespace kx::device
