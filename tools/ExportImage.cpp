// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportImage.h"

#include "app/ApplySettings.h"
#include "display/FrameView.h"
#include "files/ExportFrame.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace kx::tool {

files::ExportStatus exportImage(files::ExportContext& context, LoadedDataFile& loaded) {
    // Drawing needs fonts, so a GUI application; offscreen, nothing is shown.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "kx48zz-tool";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    core::InstrumentState& state = loaded.state;
    const std::uint32_t mask = loaded.frame->header[core::fh::ChannelMask];
    const auto present = [mask](core::Channel c) { return (mask & files::maskBit(c)) != 0; };
    state.scope.A1.shown = present(core::Channel::A1);
    state.scope.A2.shown = present(core::Channel::A2);
    state.scope.CH_D1 = present(core::Channel::D1);
    state.scope.CH_D2 = present(core::Channel::D2);
    state.scope.CH_D3 = present(core::Channel::D3);
    state.scope.CH_D4 = present(core::Channel::D4);

    device::RegisterImageHolder registers;
    const app::DerivedQuantities derived = app::applySettings(state, registers);
    display::FrameView view;
    view.setPaintBoxSize(display::kDesignWidth, display::kDesignHeight);
    // As after opening the file: a background part in it is shown.
    if (loaded.background->loadedFromFile) state.display.BgShow = true;
    view.setBackground(loaded.background.get());
    const display::LinkView link;
    view.signalAreaUpdate(state, derived, *loaded.frame, link);
    view.readoutUpdate(state, derived, *loaded.frame, link);

    const QImage& screen = view.screenBitmap();
    const files::ImagePixels pixels{reinterpret_cast<const std::uint32_t*>(screen.constBits()),
                                    screen.width(), screen.height(),
                                    static_cast<std::size_t>(screen.bytesPerLine() / 4)};
    return files::ExportImage(context, pixels);
}

} // namespace kx::tool
