// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;

namespace kx::app {

// The main window's keys act whatever control of the window has the focus: a key press aimed at
// any widget of `window` reaches `handler` first, and is consumed when the handler took it. A
// box being typed in keeps its own keys; dialogs (other windows) are left alone.
class KeyRouter : public QObject {
public:
    KeyRouter(QWidget* window, std::function<bool(QKeyEvent*)> handler);
    ~KeyRouter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    std::function<bool(QKeyEvent*)> m_handler;
};

} // namespace kx::app
