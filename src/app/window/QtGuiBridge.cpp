// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/QtGuiBridge.h"

#include <QMetaObject>
#include <QThread>

namespace kx::app {

void QtGuiBridge::synchronize(const std::function<void()>& call) {
    if (m_closed.load()) return;
    if (QThread::currentThread() == m_target->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(
        m_target,
        [this, &call] {
            if (!m_closed.load()) call();
        },
        Qt::BlockingQueuedConnection);
}

void QtGuiBridge::post(std::function<void()> call) {
    if (m_closed.load()) return;
    QMetaObject::invokeMethod(
        m_target,
        [this, call = std::move(call)] {
            if (!m_closed.load()) call();
        },
        Qt::QueuedConnection);
}

} // namespace kx::app
