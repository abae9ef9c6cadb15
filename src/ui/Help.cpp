// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Help.h"

#include "core/DeviceModel.h"
#include "core/ProgramPaths.h"
#include "core/Text.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <filesystem>
#include <system_error>

namespace kx::ui {
namespace {

constexpr core::TextPair kCaption{"Open Help File", "Открытие файла справки"};
constexpr core::TextPair kNotFound{"\r\nFile not found.", "\r\nФайл не найден."};
// The desktop has no program for PDF files: say where the manual is instead of doing nothing.
constexpr core::TextPair kNoViewer{
    "\r\nNo program to show PDF files was found. Open the file with a PDF viewer.",
    "\r\nНе найдена программа для просмотра файлов PDF. Откройте файл программой просмотра PDF."};

bool isRegularFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

bool isTrmManual(std::int32_t uiDeviceType) {
    return uiDeviceType == core::kTRM207 || uiDeviceType == core::kTRM207Mini;
}

} // namespace

std::string helpDocumentPath(std::int32_t uiDeviceType, const std::string& executablePath) {
    if (uiDeviceType == core::kTRM207) return "Trm207.pdf";
    if (uiDeviceType == core::kTRM207Mini) return "Trm207_Mini.pdf";
    // Only the file name's own extension is replaced, never a dot in a folder name.
    std::filesystem::path p(executablePath);
    p.replace_extension(".pdf");
    return p.string();
}

std::string helpDocumentToOpen(std::int32_t uiDeviceType, const std::string& executablePath) {
    const std::string beside = helpDocumentPath(uiDeviceType, executablePath);
    if (isTrmManual(uiDeviceType) || isRegularFile(beside)) return beside;
    const core::ProgramLayout layout = core::programLayout(executablePath);
    const std::filesystem::path docDir = layout.docDir();
    const std::string installed = (docDir / std::filesystem::path(beside).filename()).string();
    if (isRegularFile(installed)) return installed;
    std::error_code ec;
    return !layout.buildTree && std::filesystem::is_directory(docDir, ec) ? installed : beside;
}

HelpMessage helpNotFoundMessage(const std::string& document, bool russian) {
    return {kCaption.pick(russian), document + kNotFound.pick(russian)};
}

std::optional<HelpMessage> openHelp(std::int32_t uiDeviceType, const std::string& executablePath,
                                    bool russian) {
    const std::string document = helpDocumentToOpen(uiDeviceType, executablePath);
    if (!isRegularFile(document)) return helpNotFoundMessage(document, russian);
    const QString absolute = QFileInfo(QString::fromStdString(document)).absoluteFilePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(absolute)))
        return HelpMessage{kCaption.pick(russian), absolute.toStdString() + kNoViewer.pick(russian)};
    return std::nullopt;
}

void openHelp(std::int32_t uiDeviceType, const std::string& executablePath, bool russian,
              core::Prompt& prompt) {
    if (const auto message = openHelp(uiDeviceType, executablePath, russian))
        prompt.message(message->caption, message->text, core::MessageStyle::Error);
}

} // namespace kx::ui
