// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ColorDialog.h"

#include "core/DeviceModel.h"
#include "ui/DialogTexts.h"

#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include <utility>

namespace kx::ui {
namespace {

constexpr int kChannelRoles = 6;

QString qs(const char* s) {
    return QString::fromUtf8(s);
}

} // namespace

ColorDialog::ColorDialog(QWidget* parent, core::InstrumentState& state, ColorDialogHooks hooks)
    : QDialog(parent), m_state(state), m_hooks(std::move(hooks)), m_ok(new QPushButton(qs(kOkCaption), this)),
      m_cancel(new QPushButton(this)), m_default(new QPushButton(this)) {
    setObjectName(QStringLiteral("TForm_ColorSet"));
    setModal(true);

    // Channels in the left column, the screen's roles in the right one.
    auto* grid = new QGridLayout;
    const auto rows = colorRoleRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto* button = new QPushButton(this);
        button->setObjectName(
            QString::fromUtf8(rows[i].button.data(), static_cast<int>(rows[i].button.size())));
        button->setAutoDefault(false);
        auto* panel = new QFrame(this);
        panel->setObjectName(QString::fromUtf8(rows[i].panel.data(), static_cast<int>(rows[i].panel.size())));
        panel->setFrameShape(QFrame::Box);
        panel->setAutoFillBackground(true);
        panel->setFixedSize(40, 22);
        const int row = i < kChannelRoles ? static_cast<int>(i) : static_cast<int>(i) - kChannelRoles;
        const int column = i < kChannelRoles ? 0 : 2;
        grid->addWidget(button, row, column);
        grid->addWidget(panel, row, column + 1);
        connect(button, &QPushButton::clicked, this, [this, i] { chooseRole(i); });
        m_buttons[i] = button;
        m_panels[i] = panel;
    }

    m_ok->setObjectName(QStringLiteral("Button_OK"));
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
    m_default->setObjectName(QStringLiteral("Button_clDefault"));
    m_default->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_default, &QPushButton::clicked, this, [this] { setDefaults(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_default);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ColorDialog::showEvent(QShowEvent* event) {
    // A restore from minimised is not a new showing.
    if (!event->spontaneous()) {
        m_saved = m_state.display.colors;
        m_open = true;
        const bool hasA2 = core::hasA2Channel(m_state.system.UiDeviceType);
        m_buttons[kColorRoleA2]->setVisible(hasA2);
        m_panels[kColorRoleA2]->setVisible(hasA2);
        applyCaptions();
        updatePanels();
        m_cancel->setFocus();
        // Captions change the size: settle it before the window appears.
        layout()->activate();
    }
    QDialog::showEvent(event);
}

void ColorDialog::done(int result) {
    // Every way of closing ends here once: buttons, Esc and the window's close box.
    if (m_open) {
        m_open = false;
        if (result == QDialog::Accepted) {
            if (m_hooks.writeProgramSettings) m_hooks.writeProgramSettings();
        } else {
            restoreColorRoles(m_state.display.colors, m_saved);
            updatePanels();
        }
        refresh();
    }
    QDialog::done(result);
}

void ColorDialog::chooseRole(std::size_t role) {
    const ColorRoleRow& row = colorRoleRows()[role];
    if (const auto colour = chooseColor(m_state.display.colors.*row.field))
        setColorRole(m_state.display.colors, row, *colour);
    updatePanels();
    refresh();
}

void ColorDialog::setDefaults() {
    setDefaultColors(m_state.display.colors);
    updatePanels();
    refresh();
}

void ColorDialog::applyCaptions() {
    const bool ru = m_state.system.RussianUi;
    const bool withAnalyzers = core::hasGenerator(m_state.system.UiDeviceType);
    setWindowTitle(qs(dialogText(colorDialogTexts(), "window", ru)));
    const auto rows = colorRoleRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const char* caption = rows[i].channel ? channelButtonCaption(rows[i], withAnalyzers)
                                              : dialogText(colorDialogTexts(), rows[i].button, ru);
        m_buttons[i]->setText(qs(caption));
    }
    m_cancel->setText(qs(dialogText(colorDialogTexts(), "Button_Cancel", ru)));
    m_default->setText(qs(dialogText(colorDialogTexts(), "Button_clDefault", ru)));
}

void ColorDialog::updatePanels() {
    const auto rows = colorRoleRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QPalette palette = m_panels[i]->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(bgrToRgb(m_state.display.colors.*rows[i].field)));
        m_panels[i]->setPalette(palette);
    }
}

void ColorDialog::refresh() {
    if (m_hooks.refresh) m_hooks.refresh();
}

std::optional<std::uint32_t> ColorDialog::chooseColor(std::uint32_t current) {
    if (m_hooks.chooseColor) return m_hooks.chooseColor(current);
    const QColor chosen = QColorDialog::getColor(QColor::fromRgb(bgrToRgb(current)), this);
    if (!chosen.isValid()) return std::nullopt;
    return rgbToBgr(chosen.rgb() & 0xFFFFFFu);
}

} // namespace kx::ui
