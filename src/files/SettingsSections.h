// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "files/SettingsKeyIo.h"

namespace kx::files {

// The key tables of each section, in the order the files hold them.
void bindCommon(SettingsKeyIo& io, core::InstrumentState& s);
void bindScope(SettingsKeyIo& io, core::InstrumentState& s);
void bindTrigger(SettingsKeyIo& io, core::InstrumentState& s);
// `awgLoaded`: the last AWG upload was acknowledged completely (writing only). A name read
// back while AWG is down lands in `awgToLoad`.
void bindGenerator(SettingsKeyIo& io, core::InstrumentState& s, bool awgLoaded, std::string& awgToLoad);
void bindFft(SettingsKeyIo& io, core::InstrumentState& s);
void bindDecoders(SettingsKeyIo& io, core::InstrumentState& s);
void bindAnalyzers(SettingsKeyIo& io, core::InstrumentState& s);
void bindSysClbr(SettingsKeyIo& io, core::InstrumentState& s);
void bindAdvanced(SettingsKeyIo& io, core::InstrumentState& s);
void bindColors(SettingsKeyIo& io, core::InstrumentState& s);

// An enum held as a radio index for the duration of one binding.
template <typename E> struct EnumIndex {
    E& field;
    std::int32_t index;
    explicit EnumIndex(E& f) : field(f), index(static_cast<std::int32_t>(f)) {}
    ~EnumIndex() { field = static_cast<E>(index); }
    EnumIndex(const EnumIndex&) = delete;
    EnumIndex& operator=(const EnumIndex&) = delete;
};

} // namespace kx::files
