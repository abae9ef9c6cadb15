// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/GeneratorPanelActions.h"

#include "generator/AwgLoader.h"

#include <memory>

namespace kx::generator {

GeneratorPanelActions generatorPanelActions(core::InstrumentState& state, AwgLoader& loader,
                                            GeneratorPanelHooks hooks) {
    auto h = std::make_shared<const GeneratorPanelHooks>(std::move(hooks));
    core::GeneratorState& g = state.generator;
    const auto changed = [h](bool any) {
        if (any && h->settingsChanged) h->settingsChanged();
    };

    GeneratorPanelActions a;
    a.generatorOn = [h](bool down) {
        if (h->generatorOn) h->generatorOn(down);
    };
    a.range = [&g, changed](int b) { changed(clickRange(g, b)); };
    a.shape = [&g, changed](core::GenShape s) { changed(clickShape(g, s)); };
    a.function = [&g, changed](core::GenFunction f, bool down) { changed(clickFunction(g, f, down)); };
    a.firstValue = [&g, changed](int p) { changed(scrollFirst(g, p)); };
    a.secondValue = [&g, changed](int p) { changed(scrollSecond(g, p)); };
    a.amplitude = [&g, changed](int p) { changed(scrollAmplitude(g, p)); };
    a.awgMark = [&loader](int i) { loader.chooseMark(i); };
    a.awgRun = [&loader] { loader.run(); };
    a.doubleClick = [&g, &loader, h](PanelSpot spot) {
        const bool loaded = h->awgLoaded && h->awgLoaded();
        switch (doubleClickAction(g, spot, loaded)) {
        case PanelDoubleClick::GeneratorDialog:
            if (h->generatorDialog) h->generatorDialog();
            break;
        case PanelDoubleClick::AwgFileDialog:
            loader.openFile();
            break;
        case PanelDoubleClick::DefaultPeriod:
            loader.restoreDefaultPeriod();
            break;
        case PanelDoubleClick::DefaultAmplitude:
            loader.restoreDefaultAmplitude();
            break;
        case PanelDoubleClick::None:
            break;
        }
    };
    return a;
}

} // namespace kx::generator
