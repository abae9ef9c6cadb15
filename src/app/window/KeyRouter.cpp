// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/KeyRouter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace kx::app {

namespace {

// Widgets that need the arrows and the space bar for their text.
bool editsText(const QWidget* w) {
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
        qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w))
        return true;
    const auto* combo = qobject_cast<const QComboBox*>(w);
    return combo != nullptr && combo->isEditable();
}

} // namespace

KeyRouter::KeyRouter(QWidget* window, std::function<bool(QKeyEvent*)> handler)
    : m_window(window), m_handler(std::move(handler)) {
    qApp->installEventFilter(this);
}

KeyRouter::~KeyRouter() {
    qApp->removeEventFilter(this);
}

bool KeyRouter::eventFilter(QObject* watched, QEvent* event) {
    // Keys go to widgets; other objects' events (the acquisition thread's wake-ups among them)
    // are not looked at.
    if (!watched->isWidgetType() || event->type() != QEvent::KeyPress) return false;
    auto* w = static_cast<QWidget*>(watched);
    // Only widgets of the main window; the window itself handles its own key presses.
    if (w == nullptr || w == m_window || w->window() != m_window || editsText(w)) return false;
    // An open popup (a menu, a combo box's list) keeps its keys.
    if (QApplication::activePopupWidget() != nullptr) return false;
    return m_handler(static_cast<QKeyEvent*>(event));
}

} // namespace kx::app
