// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainMenu.h"
#include "core/DeviceModel.h"
#include "ui/MenuModel.h"
#include "ui/MenuTree.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace kx;
using ui::MenuKind;

namespace {

class MainMenuTest : public ::testing::Test {
protected:
    QAction* act(std::string_view name) {
        QAction* a = menu.action(name);
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    QString text(std::string_view name) { return act(name)->text(); }
    void open(std::string_view name) { QMetaObject::invokeMethod(menu.menu(name), "aboutToShow"); }

    QMenuBar bar;
    ui::MainMenu menu{&bar};
};

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

} // namespace

TEST_F(MainMenuTest, EveryNameOfTheTreeExistsExactlyOnce) {
    std::set<QString> treeNames;
    const auto all = bar.findChildren<QObject*>();
    for (const auto& e : ui::menuTree()) {
        if (e.name.empty()) continue;
        const QString name = QString::fromUtf8(e.name.data(), static_cast<qsizetype>(e.name.size()));
        treeNames.insert(name);
        int count = 0;
        for (QObject* o : all) count += o->objectName() == name;
        EXPECT_EQ(count, 1) << e.name;
    }
    for (QObject* o : all)
        if (o->objectName().startsWith("Menu_")) {
            EXPECT_TRUE(treeNames.count(o->objectName())) << o->objectName().toStdString();
        }
}

TEST_F(MainMenuTest, MenusHoldTheirItemsAndSeparatorsInTreeOrder) {
    // The expected children of each open menu, as the tree lists them.
    struct Level {
        QMenu* menu;
        std::vector<QAction*> children;
    };
    std::vector<Level> open;
    std::vector<QAction*> topLevel;
    const auto compare = [](const std::vector<QAction*>& expected, const QList<QAction*>& actual,
                            const QString& where) {
        ASSERT_EQ(static_cast<qsizetype>(expected.size()), actual.size()) << where.toStdString();
        for (qsizetype i = 0; i < actual.size(); ++i) {
            if (expected[static_cast<std::size_t>(i)]) {
                EXPECT_EQ(expected[static_cast<std::size_t>(i)], actual[i])
                    << where.toStdString() << " #" << i;
            } else {
                EXPECT_TRUE(actual[i]->isSeparator()) << where.toStdString() << " #" << i;
            }
        }
    };
    for (const auto& e : ui::menuTree()) {
        switch (e.kind) {
        case MenuKind::Menu: {
            QMenu* m = menu.menu(e.name);
            ASSERT_NE(m, nullptr) << e.name;
            EXPECT_EQ(menu.action(e.name), m->menuAction());
            (open.empty() ? topLevel : open.back().children).push_back(m->menuAction());
            open.push_back({m, {}});
            break;
        }
        case MenuKind::End:
            compare(open.back().children, open.back().menu->actions(), open.back().menu->objectName());
            open.pop_back();
            break;
        case MenuKind::Separator:
            open.back().children.push_back(e.name.empty() ? nullptr : act(e.name));
            break;
        default:
            open.back().children.push_back(act(e.name));
            break;
        }
    }
    compare(topLevel, bar.actions(), "menu bar");
    EXPECT_EQ(topLevel.size(), 5u);
}

TEST_F(MainMenuTest, InitialChecksOfTheForm) {
    const std::set<std::string_view> checked = {
        "Menu_4823",      "Menu_WPS_40",    "Menu_A1_x1",         "Menu_A2_x1",         "Menu_Smpl_5000",
        "Menu_FM_Freq",   "Menu_FM_A1",     "Menu_Russian",       "Menu_CH_A1",         "Menu_CH_D1",
        "Menu_CH_D2",     "Menu_CH_D3",     "Menu_CH_D4",         "Menu_Measure",       "Menu_Grid",
        "Menu_TrigPosL",  "Menu_Markers_1", "Menu_Sinxx",         "Menu_Gen_View",      "Menu_NA_Amp_Range4",
        "Menu_NA_Ampl",   "Menu_AA_R50",    "Menu_AA_SWR_Range2", "Menu_AA_Imp_Range6", "Menu_AA_Q_Range0",
        "Menu_AA_G1_SWR", "Menu_AA_G2_Rs",  "Menu_AA_G3_Xs",      "Menu_IQ_Zoom_1",
    };
    for (const auto& e : ui::menuTree()) {
        if (e.kind != MenuKind::Check && e.kind != MenuKind::Radio) continue;
        QAction* a = act(e.name);
        EXPECT_TRUE(a->isCheckable()) << e.name;
        EXPECT_EQ(a->isChecked(), checked.count(e.name) == 1) << e.name;
    }
    for (std::string_view name : {"Menu_Open", "Menu_FM_RST", "Menu_Exit"})
        EXPECT_FALSE(act(name)->isCheckable());
}

TEST_F(MainMenuTest, RadioGroupsAreExclusive) {
    for (const auto& e : ui::menuTree()) {
        if (e.kind != MenuKind::Radio) continue;
        QAction* a = act(e.name);
        QActionGroup* g = a->actionGroup();
        ASSERT_NE(g, nullptr) << e.name;
        EXPECT_EQ(g->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive) << e.name;
        a->trigger();
        EXPECT_TRUE(a->isChecked()) << e.name;
        EXPECT_EQ(g->checkedAction(), a) << e.name;
        for (QAction* other : g->actions())
            if (other != a) {
                EXPECT_FALSE(other->isChecked()) << e.name << " leaves " << other->objectName().toStdString();
            }
    }
    // The two frequency-meter groups share a menu but not a choice.
    EXPECT_NE(act("Menu_FM_Freq")->actionGroup(), act("Menu_FM_A1")->actionGroup());
    // Cursor items may both be off, never both on.
    act("Menu_Markers_2")->trigger();
    EXPECT_FALSE(act("Menu_Markers_1")->isChecked());
    act("Menu_Markers_2")->trigger();
    EXPECT_FALSE(act("Menu_Markers_2")->isChecked());
}

TEST_F(MainMenuTest, CaptionsSwitchBetweenLanguages) {
    struct Row {
        const char* name;
        const char* en;
        const char* ru;
    };
    const Row rows[] = {
        {"Menu_File", "File", "Файл"},
        {"Menu_Open_Gen_Form", "Open AWG File...", "Открыть файл генератора ПФ..."},
        {"Menu_Export", "Export", "Экспорт"},
        {"Menu_Row_Binary", "Row Binary", "Двоичный"},
        {"Menu_EBin_A1", "A1...", "Канал A1..."},
        {"Menu_EBin_A2", "A2...", "Канал A2..."},
        {"Menu_EBin_D4", "D4...", "Канал D4..."},
        {"Menu_Export_CSV", "CSV...", "CSV..."},
        {"Menu_Export_VCD", "VCD...", "VCD..."},
        {"Menu_Export_SR", "sigrok Session (*.sr)...", "Сеанс sigrok (*.sr)..."},
        {"Menu_Export_S1P", "Touchstone (*.s1p)...", "Touchstone (*.s1p)..."},
        {"Menu_AA_Smith", "Smith Chart", "Диаграмма Смита"},
        {"Menu_Recorder", "Binary Recorder (A1)...", "Двоичный самописец (канал A1)..."},
        {"Menu_Device", "Device", "Устройство"},
        {"Menu_Max_WPS", "WPS (max)", "Осциллограмм в секунду (макс.)"},
        {"Menu_Low_V_Div", "Enable 0.5..2 mV/Div", "Чувствительность 0.5..2 мВ/Дел"},
        {"Menu_Options", "Options", "Настройки"},
        {"Menu_Sampling", "Sampling", "Выборки"},
        {"Menu_FreqMeter", "Freq. Meter", "Частотомер"},
        {"Menu_FM_A1", "A1", "Канал A1"},
        {"Menu_FM_A2", "A2", "Канал A2"},
        {"Menu_FM_D3", "D3", "Канал D3"},
        {"Menu_CH_A1", "A1", "Канал A1"},
        {"Menu_CH_D1", "D1", "Канал D1"},
        {"Menu_CH_D4", "D4", "Канал D4"},
        {"Menu_CH_GEN", "A2 <- Generator", "Канал A2 <- Генератор"},
        {"Menu_View", "View", "Вид"},
        {"Menu_View_Options", "View", "Вид"},
        {"Menu_Tools", "Tools", "Инструменты"},
        {"Menu_SerialDecoders", "Serial Decoders...", "Декодер протоколов..."},
        {"Menu_LCMeter", "LC Meter...", "Измеритель LC..."},
        {"Menu_NA", "Network Analyzer", "Анализатор цепей"},
        {"Menu_AA", "Antenna Analyzer", "Антенный анализатор"},
        {"Menu_IQ_Zoom", "NA, AA Zoom", "Растяжка АЦ, АА"},
        {"Menu_Help", "Help", "Справка"},
        {"Menu_Help_Contents", "Contents", "Вызов справки"},
        {"Menu_About", "About...", "О программе..."},
        {"Menu_Russian", "Russian", "Русский"},
        {"Menu_English", "English", "English"},
        {"Menu_Language", "Language", "Language"},
        {"Menu_FM_Period", "Period && Counter", "Период && счётчик"},
    };
    for (bool russian : {true, false, true, false}) {
        menu.applyCaptions(russian, true);
        for (const Row& r : rows)
            EXPECT_EQ(text(r.name), u8(russian ? r.ru : r.en)) << r.name << " ru=" << russian;
    }
    // A doubled ampersand shows as one and underlines nothing.
    EXPECT_EQ(act("Menu_FM_Period")->iconText(), "Period & Counter");
    EXPECT_TRUE(QKeySequence::mnemonic(text("Menu_FM_Period")).isEmpty());
}

TEST_F(MainMenuTest, A2ChannelCaptionFollowsTheModel) {
    menu.applyCaptions(false, false);
    EXPECT_EQ(text("Menu_CH_A2"), "A2 (Generator)");
    menu.applyCaptions(true, false);
    EXPECT_EQ(text("Menu_CH_A2"), u8("Канал A2 (генератор)"));
    menu.applyCaptions(true, core::hasA2Input(core::kKX4823));
    EXPECT_EQ(text("Menu_CH_A2"), u8("Канал A2"));
    menu.applyCaptions(false, true);
    EXPECT_EQ(text("Menu_CH_A2"), "A2");
}

TEST_F(MainMenuTest, SyncShowsTheStateTheModelAndWhatExists) {
    core::InstrumentState s;
    s.system.UiDeviceType = core::kKX4820;
    s.display.Grid = false;
    s.scope.points = 4;
    s.scope.fmMode = core::FreqMeterMode::Period;
    s.system.RussianUi = false;
    menu.syncFromState(s);
    EXPECT_FALSE(act("Menu_Grid")->isChecked());
    EXPECT_TRUE(act("Menu_4820")->isChecked());
    EXPECT_FALSE(act("Menu_4823")->isChecked());
    EXPECT_TRUE(act("Menu_Smpl_Max")->isChecked());
    EXPECT_FALSE(act("Menu_Smpl_5000")->isChecked());
    EXPECT_TRUE(act("Menu_FM_Period")->isChecked());
    EXPECT_TRUE(act("Menu_English")->isChecked());
    EXPECT_FALSE(act("Menu_Russian")->isChecked());
    for (std::string_view hidden : {"Menu_Probe_A2", "Menu_CH_A2", "Menu_NA", "Menu_Gen_View", "Menu_Sep_NA",
                                    "Menu_CH_GEN", "Menu_Debug", "Menu_USB_Stat"})
        EXPECT_FALSE(act(hidden)->isVisible()) << hidden;
    EXPECT_TRUE(act("Menu_Open")->isEnabled());
    EXPECT_FALSE(act("Menu_Open_Gen_Form")->isEnabled());
    EXPECT_TRUE(act("Menu_About")->isEnabled());
    EXPECT_TRUE(act("Menu_A1_x10")->isEnabled());

    s.system.UiDeviceType = core::kKX4823;
    s.analyzer.AA = true;
    s.system.DebugAllowed = true;
    menu.syncFromState(s);
    for (std::string_view shown :
         {"Menu_Probe_A2", "Menu_CH_A2", "Menu_NA", "Menu_Gen_View", "Menu_CH_GEN", "Menu_Debug"})
        EXPECT_TRUE(act(shown)->isVisible()) << shown;
    EXPECT_TRUE(act("Menu_AA")->isChecked());
    EXPECT_FALSE(act("Menu_A1_x10")->isEnabled());
}

TEST_F(MainMenuTest, TriggeredItemsReachTheWindowAndTheStateDecides) {
    core::InstrumentState s;
    s.system.UiDeviceType = core::kKX4823;
    std::vector<std::string> seen;
    menu.syncFromState(s);
    menu.onItemTriggered([&](std::string_view name) {
        seen.emplace_back(name);
        ui::onMenuItem(s, name);
        menu.syncFromState(s);
    });

    act("Menu_Grid")->trigger();
    EXPECT_FALSE(s.display.Grid);
    EXPECT_FALSE(act("Menu_Grid")->isChecked());
    act("Menu_CH_GEN")->trigger();
    EXPECT_TRUE(s.scope.CH_GEN);
    // A2 fed by the generator refuses another probe: the check goes back to x1.
    act("Menu_A2_x10")->trigger();
    EXPECT_EQ(s.scope.A2.probe, 0);
    EXPECT_TRUE(act("Menu_A2_x1")->isChecked());
    EXPECT_FALSE(act("Menu_A2_x10")->isChecked());
    // Disabled items never reach the window (a value change dump needs a logic channel shown).
    s.scope.CH_D1 = s.scope.CH_D2 = s.scope.CH_D3 = s.scope.CH_D4 = false;
    s.scope.A1.shown = false; // and a spectrum its channel on the screen
    menu.syncFromState(s);
    act("Menu_Export_VCD")->trigger();
    act("Menu_FFT_A1")->trigger();
    const std::vector<std::string> expected{"Menu_Grid", "Menu_CH_GEN", "Menu_A2_x10"};
    EXPECT_EQ(seen, expected);
}

TEST_F(MainMenuTest, TrmItemsAreDecidedWhenTheDeviceMenuOpens) {
    const auto trmShown = [&] {
        const bool a = act("Menu_TRM207")->isVisible();
        EXPECT_EQ(act("Menu_TRM207_M")->isVisible(), a);
        EXPECT_EQ(act("Menu_Sep_TRM")->isVisible(), a);
        return a;
    };
    open("Menu_Device");
    EXPECT_FALSE(trmShown());

    ui::DeviceTypes types;
    menu.setDeviceTypesSource([&] { return types; });
    struct Case {
        ui::DeviceTypes types;
        bool shown;
    };
    const Case cases[] = {
        {{false, core::kKX4823, 0, core::kKX4821}, false},
        {{true, core::kKX4823, 0, 0}, true},
        {{false, core::kKX4823, core::kTRM207, 0}, true},
        {{false, core::kKX4823, 0, core::kTRM207Mini}, true},
        {{false, core::kTRM207, 0, 0}, true},
        {{false, core::kKX4822, core::kKX4822, core::kKX4822}, false},
    };
    for (const Case& c : cases) {
        types = c.types;
        open("Menu_Device");
        EXPECT_EQ(trmShown(), c.shown) << c.types.exeNameStartsWithTrm << " " << c.types.uiDeviceType << " "
                                       << c.types.frameDeviceType << " " << c.types.reportedDeviceType;
    }

    // A checked TRM item shows them whatever the source says; syncing leaves the decision alone.
    types = {};
    core::InstrumentState s;
    s.system.UiDeviceType = core::kTRM207Mini;
    menu.syncFromState(s);
    open("Menu_Device");
    EXPECT_TRUE(trmShown());
    s.system.UiDeviceType = core::kKX4823;
    menu.syncFromState(s);
    EXPECT_TRUE(trmShown());
    open("Menu_Device");
    EXPECT_FALSE(trmShown());
}

TEST_F(MainMenuTest, OpeningToolsShowsTheGraphChoices) {
    core::InstrumentState s;
    s.analyzer.AaGraph1 = 2;
    s.analyzer.AaGraph2 = 4;
    menu.syncFromState(s);
    menu.applyCaptions(false, true);
    EXPECT_EQ(text("Menu_AA_G1"), "Graph 1");
    std::vector<std::string> opened;
    menu.onMenuOpening([&](std::string_view name) { opened.emplace_back(name); });
    open("Menu_Tools");
    EXPECT_EQ(text("Menu_AA_G1"), "Graph 1 - Return Loss");
    EXPECT_EQ(text("Menu_AA_G2"), "Graph 2 - Phase Z");
    EXPECT_EQ(text("Menu_AA_G3"), "Graph 3 - Xs");
    menu.applyCaptions(true, true);
    open("Menu_Tools");
    EXPECT_EQ(text("Menu_AA_G2"), u8("Graph 2 - Фаза Z"));
    EXPECT_EQ(opened, (std::vector<std::string>{"Menu_Tools", "Menu_Tools"}));
}

TEST_F(MainMenuTest, Shortcuts) {
    struct Case {
        const char* name;
        const char* keys;
    };
    const Case cases[] = {
        {"Menu_Measure", "Ctrl+M"}, {"Menu_Trig_T", "Ctrl+E"}, {"Menu_Persistence", "Ctrl+H"},
        {"Menu_Compact", "Ctrl+C"}, {"Menu_BG_Do", "Ctrl+B"},  {"Menu_Grid", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(act(c.name)->shortcut(), QKeySequence(c.keys, QKeySequence::PortableText)) << c.name;
}

TEST(ControlCaptions, SetTheTextsOfTheControlsThatExist) {
    QWidget root;
    auto* panel = new QWidget(&root);
    auto* label = new QLabel("x", panel);
    label->setObjectName("Label_TimeDiv");
    auto* run = new QToolButton(panel);
    run->setObjectName("SpeedButton_Run");
    auto* awg = new QPushButton(&root);
    awg->setObjectName("SpeedButton_AWG");
    auto* strobo = new QToolButton(&root);
    strobo->setObjectName("SpeedButton_Strobo");
    strobo->setText("S");

    ui::applyControlCaptions(&root, true);
    EXPECT_EQ(label->text(), u8("Время/Дел"));
    EXPECT_EQ(run->text(), u8("Пуск"));
    EXPECT_EQ(awg->text(), u8("ПФ"));
    EXPECT_EQ(strobo->text(), "S");
    ui::applyControlCaptions(&root, false);
    EXPECT_EQ(label->text(), "Time/Div");
    EXPECT_EQ(run->text(), "RUN");
    EXPECT_EQ(awg->text(), "AWG");
    ui::applyControlCaptions(nullptr, false);
}
