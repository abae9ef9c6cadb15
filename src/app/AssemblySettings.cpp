// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AssemblySettings.h"

#include "acquisition/EtsReconstruction.h"
#include "core/DeviceModel.h"
#include "core/ScopeTables.h"
#include "generator/GeneratorQuantities.h"

#include <algorithm>

namespace kx::app {

acquisition::AssemblyContext assemblyContext(const core::InstrumentState& s, const DerivedQuantities& d,
                                             const device::RegisterImage& image) {
    const auto probe = [](std::int32_t index) {
        return core::kProbeFactors[static_cast<std::size_t>(std::clamp(index, 0, 3))];
    };
    acquisition::AssemblyContext c;
    c.probeA1 = probe(s.scope.A1.probe);
    c.probeA2 = probe(s.scope.A2.probe);
    c.zeroA1 = s.scope.A1.Zero;
    c.zeroA2 = s.scope.A2.Zero;
    c.levA1 = s.trigger.Lev_A1;
    c.levA2 = s.trigger.Lev_A2;
    c.scrollActive = d.ScrollActive;
    c.preTrigger = static_cast<std::int32_t>(d.PreTrigger);
    c.compactFrontEnd = core::hasCompactFrontEnd(s.system.UiDeviceType);
    c.iqWinEn = s.system.IQ_Win_En;
    c.genAmpCode = image.get16(device::reg::kGenAmpCode);
    c.menuAA = s.analyzer.AA;
    // The sweep in millihertz, for the analyzers' point frequencies and the sweep readouts.
    if (s.generator.Function == core::GenFunction::Sweep) {
        const generator::MainFrequency f = generator::mainFrequency(s.generator, s.system.DebugMode);
        c.sweepStart = static_cast<std::uint64_t>(std::max<std::int64_t>(0, f.start));
        c.sweepSpan = static_cast<std::uint64_t>(std::max<std::int64_t>(0, f.span));
    }
    acquisition::setEtsContext(c, s, d.TimeDivNs);
    return c;
}

} // namespace kx::app
