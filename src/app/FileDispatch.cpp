// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileDispatch.h"

#include <filesystem>

namespace kx::app {

namespace {

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string upperExtension(std::string_view path) {
    const std::string_view name = baseName(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return {};
    std::string ext(name.substr(dot));
    // Plain ASCII upper-casing: the extensions we know are ASCII, anything else never matches.
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return ext;
}

FileKind dispatchKind(std::string_view path, bool fromDrop) {
    if (path.empty()) return FileKind::Unsupported;
    const std::string ext = upperExtension(path);
    if (ext == ".KXG") return FileKind::AwgScript;
    if (ext == ".KXS") return FileKind::Settings;
    if (ext == ".KXD" || !fromDrop) return FileKind::Data;
    return FileKind::Unsupported;
}

std::string unsupportedFileText(std::string_view path, bool russian) {
    std::string text(path);
    text += kUnsupportedFileFormat.pick(russian);
    return text;
}

void reportUnsupportedFile(core::Prompt& prompt, std::string_view path, bool russian) {
    prompt.message(kOpenFileCaption.pick(russian), unsupportedFileText(path, russian),
                   core::MessageStyle::Error);
}

std::string instanceName(std::string_view executablePath) {
    std::string_view name = baseName(executablePath);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    std::string result(name);
    result += kInstanceNameSuffix;
    return result;
}

std::string fileDirectory(std::string_view path) {
    return std::filesystem::path(path).parent_path().string();
}

} // namespace kx::app
