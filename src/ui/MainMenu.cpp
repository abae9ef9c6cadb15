// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainMenu.h"

#include "core/DeviceModel.h"
#include "ui/MenuModel.h"
#include "ui/MenuTexts.h"
#include "ui/MenuTree.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include <vector>

namespace kx::ui {
namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

MainMenu::MainMenu(QMenuBar* bar) : m_context(std::make_unique<QObject>()) {
    build(bar);
    applyCaptions(false, true);
    updateTrmItems();
}

MainMenu::~MainMenu() = default;

void MainMenu::build(QMenuBar* bar) {
    std::vector<QMenu*> open;
    std::map<std::string_view, QActionGroup*> groups;

    for (const MenuEntry& e : menuTree()) {
        QMenu* parent = open.empty() ? nullptr : open.back();
        switch (e.kind) {
        case MenuKind::Menu: {
            QMenu* m = parent ? parent->addMenu(QString()) : bar->addMenu(QString());
            m->setObjectName(qs(e.name));
            m_menus[e.name] = m;
            m_actions[e.name] = m->menuAction();
            const std::string_view name = e.name;
            QObject::connect(m, &QMenu::aboutToShow, m_context.get(), [this, name] { menuOpening(name); });
            open.push_back(m);
            break;
        }
        case MenuKind::End:
            if (!open.empty()) open.pop_back();
            break;
        case MenuKind::Separator: {
            if (!parent) break;
            QAction* a = parent->addSeparator();
            if (!e.name.empty()) {
                a->setObjectName(qs(e.name));
                m_actions[e.name] = a;
            }
            break;
        }
        case MenuKind::Action:
        case MenuKind::Check:
        case MenuKind::Radio: {
            if (!parent) break;
            QAction* a = parent->addAction(QString());
            a->setObjectName(qs(e.name));
            if (e.kind != MenuKind::Action) {
                a->setCheckable(true);
                a->setChecked(e.checked);
            }
            if (!e.group.empty()) {
                QActionGroup*& g = groups[e.group];
                if (!g) {
                    g = new QActionGroup(parent);
                    // A pair of checks may both be off; a radio group always has its choice.
                    g->setExclusionPolicy(e.kind == MenuKind::Radio
                                              ? QActionGroup::ExclusionPolicy::Exclusive
                                              : QActionGroup::ExclusionPolicy::ExclusiveOptional);
                }
                g->addAction(a);
            }
            if (!e.shortcut.empty()) a->setShortcut(QKeySequence(qs(e.shortcut), QKeySequence::PortableText));
            const std::string_view name = e.name;
            QObject::connect(a, &QAction::triggered, m_context.get(), [this, name] {
                if (m_itemHandler) m_itemHandler(name);
            });
            m_actions[e.name] = a;
            break;
        }
        }
    }
}

QAction* MainMenu::action(std::string_view name) const {
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* MainMenu::menu(std::string_view name) const {
    const auto it = m_menus.find(name);
    return it == m_menus.end() ? nullptr : it->second;
}

void MainMenu::syncFromState(const core::InstrumentState& state) {
    for (const MenuEntry& e : menuTree()) {
        QAction* a = action(e.name);
        if (!a) continue;
        if (!trmMenuItem(e.name)) a->setVisible(menuVisible(state, e.name));
        if (e.kind == MenuKind::Separator) continue;
        a->setEnabled(menuEnabled(state, e.name));
        if (e.kind == MenuKind::Check || e.kind == MenuKind::Radio) a->setChecked(menuChecked(state, e.name));
    }
    m_aaGraphs = {state.analyzer.AaGraph1, state.analyzer.AaGraph2, state.analyzer.AaGraph3};
}

void MainMenu::applyCaptions(bool russian, bool modelHasA2) {
    m_russian = russian;
    for (const MenuEntry& e : menuTree()) {
        if (e.kind == MenuKind::Separator) continue;
        QAction* a = action(e.name);
        const char* caption = a ? menuCaption(e.name, russian, modelHasA2) : nullptr;
        if (caption) a->setText(QString::fromUtf8(caption));
    }
}

void MainMenu::onItemTriggered(std::function<void(std::string_view)> handler) {
    m_itemHandler = std::move(handler);
}

void MainMenu::onMenuOpening(std::function<void(std::string_view)> handler) {
    m_openingHandler = std::move(handler);
}

void MainMenu::setDeviceTypesSource(std::function<DeviceTypes()> source) {
    m_deviceTypes = std::move(source);
}

void MainMenu::updateTrmItems() {
    QAction* trm = action("Menu_TRM207");
    QAction* mini = action("Menu_TRM207_M");
    bool shown = trm->isChecked() || mini->isChecked();
    if (!shown && m_deviceTypes) {
        const DeviceTypes t = m_deviceTypes();
        shown = core::trmItemsVisible(t.exeNameStartsWithTrm, t.uiDeviceType, t.frameDeviceType,
                                     t.reportedDeviceType);
    }
    for (QAction* a : {trm, mini, action("Menu_Sep_TRM")}) a->setVisible(shown);
}

void MainMenu::updateGraphCaptions() {
    constexpr std::string_view kGraphMenus[] = {"Menu_AA_G1", "Menu_AA_G2", "Menu_AA_G3"};
    for (int g = 0; g < 3; ++g)
        action(kGraphMenus[g])
            ->setText(QString::fromStdString(
                aaGraphCaption(g + 1, m_aaGraphs[static_cast<std::size_t>(g)], m_russian)));
}

void MainMenu::menuOpening(std::string_view name) {
    if (name == "Menu_Device") updateTrmItems();
    if (name == "Menu_Tools") updateGraphCaptions();
    if (m_openingHandler) m_openingHandler(name);
}

void applyControlCaptions(QWidget* root, bool russian) {
    if (!root) return;
    for (std::string_view name : captionedControls()) {
        const QString objectName = qs(name);
        QWidget* w = root->objectName() == objectName ? root : root->findChild<QWidget*>(objectName);
        const char* caption = w ? controlCaption(name, russian) : nullptr;
        if (!caption) continue;
        const QString text = QString::fromUtf8(caption);
        if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            button->setText(text);
        else if (w->metaObject()->indexOfProperty("text") >= 0)
            w->setProperty("text", text);
    }
}

} // namespace kx::ui
