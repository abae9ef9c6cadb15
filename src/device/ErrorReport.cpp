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
constexpr core::TextPair kPermission{
    "The udev rule for the instrument is missing or not yet active: install the kx48zz package, then "
    "unplug and plug in the instrument again.",
    "Правило udev для прибора не установлено или ещё не действует: установите пакет kx48zz, затем "
    "отключите и снова подключите прибор."};
// The driver's own statuses; the program's codes start here (no driver, missing entry points).
constexpr int kFirstProgramCode = 100;
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

const char* usbPermissionHint(bool russian) {
    return kPermission.pick(russian);
}

std::string usbErrorReportText(int code, bool russian, bool permissionMissing) {
    std::string text = usbErrorText(code, russian);
    if (!permissionMissing || code <= 0 || code >= kFirstProgramCode) return text;
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) text += "\r\n";
    return text + usbPermissionHint(russian);
}

bool usbPermissionMissing(int code, const UsbAccessProbe& probe) {
    return code > 0 && code < kFirstProgramCode && instrumentLacksPermission(probe);
}

void reportUsbError(core::Prompt& prompt, int code, bool russian, const UsbAccessProbe& probe) {
    prompt.message(usbErrorCaption(code, russian),
                   usbErrorReportText(code, russian, usbPermissionMissing(code, probe)),
                   core::MessageStyle::Error);
}

} // namespace kx::device
