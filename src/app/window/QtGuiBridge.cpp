// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/QtGuiBridge.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>

namespace kx::app {
namespace {
const QEvent::Type kRunQueue = static_cast<QEvent::Type>(QEvent::registerEventType());
} // namespace

class QtGuiBridge::Receiver : public QObject {
public:
    Receiver(QtGuiBridge& bridge, QObject* parent) : QObject(parent), m_bridge(bridge) {}

protected:
    // The toolkit reads the event's type itself and calls this only for ours; the event, made
    // in the acquisition thread, is not touched here.
    void customEvent(QEvent*) override { m_bridge.runPending(); }

private:
    QtGuiBridge& m_bridge;
};

// The event is allocated here and freed by the toolkit after delivery; it carries nothing.
QtGuiBridge::QtGuiBridge(QObject* guiObject)
    : acquisition::CallQueue([this] { QCoreApplication::postEvent(m_receiver, new QEvent(kRunQueue)); }),
      m_receiver(new Receiver(*this, guiObject)) {}

QtGuiBridge::~QtGuiBridge() {
    close();
    delete m_receiver;
}

void QtGuiBridge::synchronize(const std::function<void()>& call) {
    if (QThread::currentThread() == m_receiver->thread()) {
        call();
        return;
    }
    CallQueue::synchronize(call);
}

} // namespace kx::app
