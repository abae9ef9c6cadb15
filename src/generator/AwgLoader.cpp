// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/AwgLoader.h"

#include "generator/AwgTexts.h"
#include "generator/GeneratorTexts.h"

#include <algorithm>
#include <filesystem>

namespace kx::generator {

namespace {

// Pairs a busy mark with its release on every path.
class Busy {
public:
    explicit Busy(AwgLoaderHost& host) : m_host(host) { m_host.markBusy(true); }
    ~Busy() { m_host.markBusy(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    AwgLoaderHost& m_host;
};

} // namespace

AwgLoader::AwgLoader(core::InstrumentState& state, AwgLoaderHost& host, std::string listingPath)
    : m_state(state), m_host(host), m_listingPath(std::move(listingPath)) {}

bool AwgLoader::openFile() {
    Busy busy(m_host);
    const bool ru = m_state.system.RussianUi;
    const std::string path = m_host.prompt().openFile(awgtext::kOpenFileTitle.pick(ru),
                                                      awgtext::kFileFilter.pick(ru), m_state.system.LastDir);
    if (path.empty()) return false;
    const std::string dir = std::filesystem::path(path).parent_path().string();
    if (!dir.empty()) m_state.system.LastDir = dir;
    compile(path, false);
    return true;
}

bool AwgLoader::compile(const std::string& path, bool quiet) {
    const bool ru = m_state.system.RussianUi;
    AwgCompileResult r = compileAwgFile(path, {quiet, ru});
    if (r.fileNotFound) {
        m_host.prompt().message(r.caption, r.message, core::MessageStyle::Error);
        return false;
    }

    if (!r.ok) {
        if (r.notice == AwgNotice::StatusText)
            setStatus(r.message);
        else
            m_host.prompt().message(r.caption, r.message, core::MessageStyle::Error);
        saveAwgListing(m_listingPath, r.listing);
        return false;
    }

    if (r.notice == AwgNotice::StatusText)
        setStatus(r.message);
    else
        m_host.prompt().message(r.caption, r.message, core::MessageStyle::Information);

    core::GeneratorState& gen = m_state.generator;
    const bool sameScript = !gen.AWG_File.empty() && gen.AWG_File == path;
    m_marks = buildAwgMarkList(r.labels, ru, sameScript, m_marks);
    ++m_marksRevision;
    m_defaultPeriod = r.defaultPeriod;
    m_defaultAmplitude = r.defaultAmplitude;
    applyAwgResult(r, path, m_marks, gen);

    // A fresh image per compilation; the upload works on its own copy of this table.
    std::transform(r.image->begin(), r.image->end(), m_table.begin(),
                   [](std::uint16_t w) { return static_cast<std::int32_t>(w); });
    // "#AUTOR" travels with the upload: raised now, it could go out in a settings frame before the
    // program (always so while the instrument is still being configured).
    m_host.uploadAwg(m_table, r.autoRun);
    m_host.settingsChanged();
    saveAwgListing(m_listingPath, r.listing);
    return true;
}

bool AwgLoader::compileLoaded(bool quiet) {
    const std::string path = m_state.generator.AWG_File;
    if (path.empty()) return false;
    return compile(path, quiet);
}

void AwgLoader::clearMarks() {
    m_marks = {};
    ++m_marksRevision;
    m_state.generator.AwgMark = m_marks.mark();
}

bool AwgLoader::chooseMark(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_marks.entries.size()) return false;
    m_marks.chosen = index;
    if (m_state.generator.AwgMark == m_marks.mark()) return false;
    m_state.generator.AwgMark = m_marks.mark();
    m_host.settingsChanged();
    return true;
}

bool AwgLoader::run() {
    if (!m_host.awgLoaded()) return false;
    m_host.raiseAwgRun();
    m_host.settingsChanged();
    return true;
}

bool AwgLoader::restoreDefaultPeriod() {
    return restoreDefault(true);
}

bool AwgLoader::restoreDefaultAmplitude() {
    return restoreDefault(false);
}

bool AwgLoader::restoreDefault(bool period) {
    if (!m_host.awgLoaded()) return false;
    const bool ru = m_state.system.RussianUi;
    const std::string caption = gentext::kAwgCaption.pick(ru);
    const int value = period ? m_defaultPeriod : m_defaultAmplitude;
    if (value < 0) {
        m_host.prompt().message(caption,
                                (period ? gentext::kNoDefaultPeriod : gentext::kNoDefaultAmplitude).pick(ru),
                                core::MessageStyle::Warning);
        return false;
    }
    const core::Answer answer = m_host.prompt().message(
        caption, (period ? gentext::kRestorePeriod : gentext::kRestoreAmplitude).pick(ru),
        core::MessageStyle::Question);
    if (answer != core::Answer::Yes) return false;
    core::GeneratorState& gen = m_state.generator;
    if (period) {
        gen.AwgCoarse = value / 10000;
        gen.AwgFine = value % 10000;
    } else {
        gen.Ampl = value * 40;
    }
    m_host.settingsChanged();
    return true;
}

void AwgLoader::setStatus(const std::string& text) {
    m_status = text;
    m_host.setStatusCountdown(kAwgStatusCountdown);
}

bool awgReloadWanted(const core::GeneratorState& g) {
    return g.Function == core::GenFunction::Awg && !g.AWG_File.empty();
}

} // namespace kx::generator
