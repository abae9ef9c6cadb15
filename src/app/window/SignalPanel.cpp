// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/SignalPanel.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QWheelEvent>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

namespace kx::app {

ScreenWidget::ScreenWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Image_M"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(160, 100);
}

void ScreenWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_bitmap != nullptr && !m_bitmap->isNull()) {
        p.drawImage(0, 0, *m_bitmap);
        // A bitmap not yet resized to the widget leaves the rest dark rather than garbage.
        if (m_bitmap->width() < width()) p.fillRect(m_bitmap->width(), 0, width() - m_bitmap->width(), height(), Qt::black);
        if (m_bitmap->height() < height())
            p.fillRect(0, m_bitmap->height(), width(), height() - m_bitmap->height(), Qt::black);
    } else {
        p.fillRect(rect(), Qt::black);
    }
}

void ScreenWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (resized) resized(width(), height());
}

void ScreenWidget::mousePressEvent(QMouseEvent* event) {
    if (pressed) pressed(event);
}

void ScreenWidget::mouseMoveEvent(QMouseEvent* event) {
    if (moved) moved(event);
}

void ScreenWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (released) released(event);
}

void ScreenWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (doubleClicked) doubleClicked(event);
}

void ScreenWidget::wheelEvent(QWheelEvent* event) {
    if (wheeled) wheeled(event);
    else event->ignore();
}

SignalPanel::SignalPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel_Signal"));
    setAcceptDrops(true);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    m_screen = new ScreenWidget(this);
    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setObjectName(QStringLiteral("ScrollBar_X_POS"));
    m_scroll->setRange(0, 0);
    v->addWidget(m_screen, 1);
    v->addWidget(m_scroll);
}

void SignalPanel::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void SignalPanel::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty()) return;
    event->acceptProposedAction();
    // Only the first file of a drop is opened.
    if (dropped) dropped(urls.first().toLocalFile());
}

} // namespace kx::app
