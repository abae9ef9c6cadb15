// SPDX-License-Identifier: GPL-3.0-or-later
// The AWG compiler over any script text, in both languages and both notice modes.
#include "generator/AwgCompiler.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool russian = size > 0 && (data[0] & 1) != 0;
    const bool quiet = size > 0 && (data[0] & 2) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto r = kx::generator::compileAwgText("fuzz.kxg", text, {quiet, russian});
    if (r.ok &&
        (r.image == nullptr || r.commands < 0 || r.commands > static_cast<int>(kx::generator::kAwgWords)))
        __builtin_trap();
    (void)kx::generator::awgListingText(r.listing);
    return 0;
}
