// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QImage>

#include <functional>

class QScrollBar;

namespace kx::app {

// Image_M: shows ScreenBitmap as it is; nothing is recomputed when it repaints.
class ScreenWidget : public QWidget {
public:
    explicit ScreenWidget(QWidget* parent);
    void setBitmap(const QImage* bitmap) { m_bitmap = bitmap; }
    std::function<void(int, int)> resized; // the geometry procedure
    // Pointer events on the paint box, in its pixels.
    std::function<void(QMouseEvent*)> pressed, moved, released, doubleClicked;
    std::function<void(QWheelEvent*)> wheeled;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    const QImage* m_bitmap = nullptr;
};

// Panel_Signal: the paint box and the horizontal scroll bar; files dropped on it go to
// `dropped` (the first one only).
class SignalPanel : public QFrame {
public:
    explicit SignalPanel(QWidget* parent);
    ScreenWidget* screen() const { return m_screen; }
    QScrollBar* scrollBar() const { return m_scroll; }
    std::function<void(const QString&)> dropped;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    ScreenWidget* m_screen;
    QScrollBar* m_scroll;
};

} // namespace kx::app
