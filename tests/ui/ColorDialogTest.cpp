// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ColorDialog.h"
#include "core/DeviceModel.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

using namespace kx;

namespace {

// A colour dialog over a state, with the window's side counted and the chooser scripted.
class ColorDialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ui::ColorDialogHooks hooks;
        hooks.refresh = [this] { ++refreshes; };
        hooks.writeProgramSettings = [this] { ++writes; };
        hooks.chooseColor = [this](std::uint32_t current) -> std::optional<std::uint32_t> {
            offered.push_back(current);
            if (answers.empty()) return std::nullopt;
            const auto a = answers.front();
            answers.pop_front();
            return a;
        };
        dialog = std::make_unique<ui::ColorDialog>(nullptr, state, hooks);
    }

    QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(name); }
    QFrame* panel(const char* name) const { return dialog->findChild<QFrame*>(name); }
    // The panel's colour in Windows order.
    std::uint32_t panelColour(const char* name) const {
        const QFrame* p = panel(name);
        if (!p) {
            ADD_FAILURE() << name;
            return 0;
        }
        return ui::rgbToBgr(p->palette().color(QPalette::Window).rgb() & 0xFFFFFFu);
    }

    core::InstrumentState state;
    std::unique_ptr<ui::ColorDialog> dialog;
    int refreshes = 0;
    int writes = 0;
    std::deque<std::optional<std::uint32_t>> answers;
    std::vector<std::uint32_t> offered;
};

// Custom colours in force when the dialog opens.
core::ColorRoles customColours() {
    core::ColorRoles c;
    c.ColorA1 = 0x112233;
    c.ColorD1 = 0x445566;
    c.ColorBackground = 0x010101;
    c.ColorFft = 0x778899;
    c.ColorExtraInfo = 0xAABBCC;
    c.syncAnalyzerSlots();
    return c;
}

bool sameRolesAndSlots(const core::ColorRoles& a, const core::ColorRoles& b) {
    return a.ColorA1 == b.ColorA1 && a.ColorA2 == b.ColorA2 && a.ColorD1 == b.ColorD1 &&
           a.ColorD2 == b.ColorD2 && a.ColorD3 == b.ColorD3 && a.ColorD4 == b.ColorD4 &&
           a.ColorBackground == b.ColorBackground && a.ColorBorder == b.ColorBorder &&
           a.ColorMarkers == b.ColorMarkers && a.ColorGrid == b.ColorGrid &&
           a.ColorGridFrame == b.ColorGridFrame && a.ColorTrigPos == b.ColorTrigPos &&
           a.ColorFft == b.ColorFft && a.ColorExtraInfo == b.ColorExtraInfo &&
           a.ColorAaGraph1 == b.ColorAaGraph1 && a.ColorRs == b.ColorRs && a.ColorNaAmpl == b.ColorNaAmpl &&
           a.ColorRp == b.ColorRp && a.ColorPhase == b.ColorPhase && a.ColorXs == b.ColorXs &&
           a.ColorZ == b.ColorZ && a.ColorXp == b.ColorXp;
}

void pressEscape(QWidget* w) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

} // namespace

TEST_F(ColorDialogFixture, CaptionsByLanguageAndModel) {
    struct Case {
        std::int32_t model;
        bool russian;
        bool a2Shown;
        const char* a1;
        const char* d4;
        const char* title;
        const char* background;
        const char* extraInfo;
        const char* cancel;
        const char* defaults;
    };
    const Case cases[] = {
        {core::kKX4821, false, true, "A1, SWR", "D4, |Z|", "Color Settings", "Background", "Extra info",
         "Cancel", "Default"},
        {core::kKX4820, false, false, "A1", "D4", "Color Settings", "Background", "Extra info", "Cancel",
         "Default"},
        {core::kKX4822, true, true, "A1", "D4", "Установки цветов", "Фон сетки", "Доп. информ.", "Отмена",
         "По умолч."},
        {core::kTRM207Mini, true, true, "A1, SWR", "D4, |Z|", "Установки цветов", "Фон сетки", "Доп. информ.",
         "Отмена", "По умолч."},
    };
    for (const Case& c : cases) {
        // The same dialog takes the model and language anew at every showing.
        state.system.UiDeviceType = c.model;
        state.system.RussianUi = c.russian;
        dialog->show();
        EXPECT_EQ(dialog->objectName(), "TForm_ColorSet");
        EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(c.title)) << c.model;
        EXPECT_EQ(button("Button_cl_A1")->text(), QString::fromUtf8(c.a1)) << c.model;
        EXPECT_EQ(button("Button_cl_D4")->text(), QString::fromUtf8(c.d4)) << c.model;
        EXPECT_EQ(button("Button_clBackground")->text(), QString::fromUtf8(c.background)) << c.model;
        EXPECT_EQ(button("Button_Extra_Info")->text(), QString::fromUtf8(c.extraInfo)) << c.model;
        EXPECT_EQ(button("Button_Cancel")->text(), QString::fromUtf8(c.cancel)) << c.model;
        EXPECT_EQ(button("Button_clDefault")->text(), QString::fromUtf8(c.defaults)) << c.model;
        EXPECT_EQ(button("Button_OK")->text(), "OK");
        EXPECT_EQ(button("Button_cl_A2")->isVisibleTo(dialog.get()), c.a2Shown) << c.model;
        EXPECT_EQ(panel("Panel_cl_A2")->isVisibleTo(dialog.get()), c.a2Shown) << c.model;
        EXPECT_EQ(dialog->focusWidget(), button("Button_Cancel")) << c.model;
        dialog->reject();
    }
}

TEST_F(ColorDialogFixture, PanelsShowTheColoursInForce) {
    state.display.colors = customColours();
    dialog->show();
    for (const ui::ColorRoleRow& r : ui::colorRoleRows())
        EXPECT_EQ(panelColour(std::string(r.panel).c_str()), state.display.colors.*r.field) << r.panel;
    dialog->reject();
}

TEST_F(ColorDialogFixture, AChosenColourTakesEffectAtOnce) {
    dialog->show();
    answers = {0x0000FF};
    button("Button_cl_D1")->click();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0], 0xFFFF00u); // the chooser starts from the role's colour
    EXPECT_EQ(state.display.colors.ColorD1, 0x0000FFu);
    EXPECT_EQ(state.display.colors.ColorNaAmpl, 0x0000FFu);
    EXPECT_EQ(state.display.colors.ColorRp, 0x0000FFu);
    EXPECT_EQ(panelColour("Panel_cl_D1"), 0x0000FFu);
    EXPECT_EQ(refreshes, 1);

    // Closed without a choice: nothing changes, the screen is refreshed all the same.
    const core::ColorRoles before = state.display.colors;
    button("Button_clFFT")->click();
    EXPECT_TRUE(sameRolesAndSlots(state.display.colors, before));
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(writes, 0);
}

TEST_F(ColorDialogFixture, DefaultSetsEveryRoleAndSlot) {
    state.display.colors = customColours();
    state.display.colors.ColorXp = 0x999999; // a stale slot is set too
    dialog->show();
    button("Button_clDefault")->click();
    EXPECT_TRUE(sameRolesAndSlots(state.display.colors, core::ColorRoles{}));
    EXPECT_EQ(panelColour("Panel_clBackground"), 0x2D0000u);
    EXPECT_EQ(panelColour("Panel_cl_A1"), 0x00FF00u);
    EXPECT_EQ(refreshes, 1);
}

TEST_F(ColorDialogFixture, EveryWayOfCancellingRestoresTheOpeningColours) {
    struct Case {
        const char* how;
        void (*close)(ui::ColorDialog&);
    };
    const Case cases[] = {
        {"Button_Cancel", [](ui::ColorDialog& d) { d.findChild<QPushButton*>("Button_Cancel")->click(); }},
        {"close box", [](ui::ColorDialog& d) { d.close(); }},
        {"Esc", [](ui::ColorDialog& d) { pressEscape(&d); }},
    };
    for (const Case& c : cases) {
        state.display.colors = customColours();
        const core::ColorRoles opening = state.display.colors;
        refreshes = writes = 0;
        dialog->show();
        answers = {0x000001};
        button("Button_cl_A1")->click();
        button("Button_clDefault")->click();
        c.close(*dialog);
        EXPECT_FALSE(dialog->isVisible()) << c.how;
        EXPECT_EQ(dialog->result(), QDialog::Rejected) << c.how;
        EXPECT_TRUE(sameRolesAndSlots(state.display.colors, opening)) << c.how;
        EXPECT_EQ(panelColour("Panel_cl_A1"), opening.ColorA1) << c.how;
        EXPECT_EQ(refreshes, 3) << c.how; // the choice, Default, and closing
        EXPECT_EQ(writes, 0) << c.how;
    }
}

TEST_F(ColorDialogFixture, OkKeepsTheColoursAndWritesTheProgramSettings) {
    dialog->show();
    answers = {0x123456};
    button("Button_clGrid")->click();
    button("Button_OK")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(state.display.colors.ColorGrid, 0x123456u);
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(refreshes, 2);

    // The next showing keeps a copy of these, not of the first opening's.
    dialog->show();
    button("Button_clDefault")->click();
    dialog->reject();
    EXPECT_EQ(state.display.colors.ColorGrid, 0x123456u);
    EXPECT_EQ(writes, 1);
}

TEST(ColorDialog, RunsModallyWithExec) {
    core::InstrumentState state;
    int refreshes = 0;
    ui::ColorDialogHooks hooks;
    hooks.refresh = [&] { ++refreshes; };
    hooks.chooseColor = [](std::uint32_t) -> std::optional<std::uint32_t> { return 0x00AA00; };
    ui::ColorDialog dialog(nullptr, state, hooks);
    QTimer::singleShot(0, [] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        w->findChild<QPushButton*>("Button_cl_D3")->click();
        w->findChild<QPushButton*>("Button_Cancel")->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(state.display.colors.ColorD3, 0x0080FFu);
    EXPECT_EQ(refreshes, 2);
}
