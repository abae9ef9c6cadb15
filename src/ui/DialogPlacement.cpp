// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DialogPlacement.h"

#include <QBoxLayout>
#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSpacerItem>
#include <QTimer>

#include <algorithm>

namespace kx::ui {

namespace {

// Icon, close and maximise buttons and the frame of a usual title bar.
constexpr int kTitleBarExtras = 140;

} // namespace

int captionWidth(const QWidget* window) {
    QFont font = window->font();
    font.setBold(true); // title bars commonly draw the caption bold
    return QFontMetrics(font).horizontalAdvance(window->windowTitle()) + kTitleBarExtras;
}

void widenToCaption(QDialog* dialog) {
    const int width = captionWidth(dialog);
    QLayout* layout = dialog->layout();
    // A message box sizes itself from its layout, so the width goes in as a spacer.
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        const QMargins m = grid->contentsMargins();
        grid->addItem(
            new QSpacerItem(width - m.left() - m.right(), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
            grid->rowCount(), 0, 1, std::max(1, grid->columnCount()));
    } else if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
        const QMargins m = box->contentsMargins();
        box->addItem(
            new QSpacerItem(width - m.left() - m.right(), 0, QSizePolicy::Minimum, QSizePolicy::Minimum));
    } else {
        dialog->setMinimumWidth(std::max(dialog->minimumWidth(), width));
    }
}

void centreOver(QWidget* window, const QWidget* over) {
    const bool onOwner = over != nullptr && over->isVisible();
    QScreen* screen = onOwner ? over->screen() : window->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QPoint centre = onOwner ? over->window()->frameGeometry().center() : area.center();
    const QRect frame = window->frameGeometry();
    QPoint at(centre.x() - frame.width() / 2, centre.y() - frame.height() / 2);
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - frame.width() + 1)));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1)));
    window->move(at);
}

void placeOver(QDialog* dialog, const QWidget* over) {
    widenToCaption(dialog);
    QPointer<const QWidget> owner(over);
    const bool hadOwner = over != nullptr;
    QTimer::singleShot(0, dialog, [dialog, owner, hadOwner] {
        if (hadOwner && owner.isNull()) return;
        centreOver(dialog, owner.data());
    });
}

} // namespace kx::ui
