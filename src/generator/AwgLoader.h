// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "core/Prompt.h"
#include "generator/AwgCompiler.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace kx::generator {

// What the AWG loader needs from the program around it. GUI thread only.
class AwgLoaderHost {
public:
    virtual ~AwgLoaderHost() = default;
    virtual core::Prompt& prompt() = 0;
    // Nesting busy mark (InstanceBusyEvent); every true is paired with a false.
    virtual void markBusy(bool on) = 0;
    // The last upload was acknowledged whole (the link's AWG-loaded flag).
    virtual bool awgLoaded() = 0;
    // Hands a program over for upload and raises AwgUploadRequest. The receiver copies the table
    // before returning, so the loader may compile into it again at once. With runAfterUpload the
    // settings frame that follows the complete upload carries the AWG run request.
    virtual void uploadAwg(std::span<const std::int32_t, kAwgWords> table, bool runAfterUpload) = 0;
    // The one-shot AWG run request of the next settings frame (the RUN button).
    virtual void raiseAwgRun() = 0;
    // The settings-changed notification (apply-settings, a settings frame, a redraw).
    virtual void settingsChanged() = 0;
    // Ticks the panel shows the status text for; counted down by the supervision timer.
    virtual void setStatusCountdown(int ticks) = 0;
};

// Loads AWG scripts: the file dialog, the compilation with or without message boxes, the status
// text, the mark list, the effects on the generator model and the upload request. A failed
// compilation changes nothing but the status text and the listing.
class AwgLoader {
public:
    // `listingPath`: where every compilation writes its listing ("kxg.lst" beside the program).
    AwgLoader(core::InstrumentState& state, AwgLoaderHost& host, std::string listingPath);

    // Menu_Open_Gen_Form and the panel's double clicks in AWG function: the file dialog, then the
    // chosen script compiled with messages. Busy from the dialog to the end of the compilation.
    // True when a script was chosen and compiled.
    bool openFile();

    // Compiles and loads a script; quiet puts the result into the status text instead of a box
    // (an unreadable file is reported by a box all the same). True on success.
    bool compile(const std::string& path, bool quiet);

    // A script named on the command line, handed over by a second start or dropped on the window.
    bool loadUnattended(const std::string& path) { return compile(path, true); }

    // The supervision's pending compilation: the loaded script (AWG_File) again.
    bool compileLoaded(bool quiet);

    // The recovery after a reconnection: the mark list is emptied, so the next compilation
    // chooses its first entry.
    void clearMarks();

    // ComboBox_AWG: the entry chosen becomes the AWG mark.
    bool chooseMark(int index);

    // SpeedButton_AWG_Run: acts only while a program is loaded. True when it acted.
    bool run();

    // Double clicks on Label_F / Label_V in AWG function: offer the script's "#CLOCK" / "#AMP".
    // Nothing happens while no program is loaded. True when a value was restored.
    bool restoreDefaultPeriod();
    bool restoreDefaultAmplitude();

    [[nodiscard]] const AwgMarkList& marks() const { return m_marks; }
    // Changes whenever the mark list is rebuilt or emptied, so a view rebuilds its list only then.
    [[nodiscard]] std::uint32_t marksRevision() const { return m_marksRevision; }
    [[nodiscard]] const std::string& statusText() const { return m_status; }
    [[nodiscard]] int defaultPeriod() const { return m_defaultPeriod; }
    [[nodiscard]] int defaultAmplitude() const { return m_defaultAmplitude; }
    // The program last handed over for upload.
    [[nodiscard]] std::span<const std::int32_t, kAwgWords> table() const { return m_table; }

private:
    void setStatus(const std::string& text);
    bool restoreDefault(bool period);

    core::InstrumentState& m_state;
    AwgLoaderHost& m_host;
    std::string m_listingPath;
    AwgMarkList m_marks;
    std::uint32_t m_marksRevision = 0;
    std::string m_status;
    int m_defaultPeriod = -1;
    int m_defaultAmplitude = -1;
    std::array<std::int32_t, kAwgWords> m_table{};
};

// A settings file read with the AWG function on and a script named asks for a quiet
// recompilation once the instrument is there (the supervision's pending request).
bool awgReloadWanted(const core::GeneratorState& g);

} // namespace kx::generator
