// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/forms/ShapeIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <numbers>

namespace kx::generator {

namespace {

constexpr int kWidth = 22;
constexpr int kHeight = 14;

QPainterPath pathOf(core::GenShape shape) {
    const double top = 2.0;
    const double bottom = kHeight - 2.0;
    const double left = 2.0;
    const double right = kWidth - 2.0;
    const double mid = (top + bottom) / 2;
    const double w = right - left;
    QPainterPath p;
    switch (shape) {
    case core::GenShape::Sine:
        p.moveTo(left, mid);
        for (int i = 1; i <= 40; ++i) {
            const double x = left + w * i / 40.0;
            p.lineTo(x, mid - (mid - top) * std::sin(2 * std::numbers::pi * i / 40.0));
        }
        break;
    case core::GenShape::Rectangle:
        p.moveTo(left, bottom);
        p.lineTo(left, top);
        p.lineTo(left + w / 2, top);
        p.lineTo(left + w / 2, bottom);
        p.lineTo(right, bottom);
        p.lineTo(right, top);
        break;
    case core::GenShape::Triangle:
        p.moveTo(left, bottom);
        p.lineTo(left + w / 2, top);
        p.lineTo(right, bottom);
        break;
    case core::GenShape::RisingRamp:
        p.moveTo(left, bottom);
        p.lineTo(left + w / 2, top);
        p.lineTo(left + w / 2, bottom);
        p.lineTo(right, top);
        break;
    case core::GenShape::FallingRamp:
        p.moveTo(left, top);
        p.lineTo(left + w / 2, bottom);
        p.lineTo(left + w / 2, top);
        p.lineTo(right, bottom);
        break;
    }
    return p;
}

QPixmap draw(core::GenShape shape, const QColor& color) {
    QPixmap pm(kWidth, kHeight);
    pm.fill(Qt::transparent);
    QPainter painter(&pm);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 1.5));
    painter.drawPath(pathOf(shape));
    return pm;
}

} // namespace

QIcon shapeIcon(core::GenShape shape) {
    QIcon icon;
    icon.addPixmap(draw(shape, QColor(20, 20, 20)), QIcon::Normal);
    icon.addPixmap(draw(shape, QColor(150, 150, 150)), QIcon::Disabled);
    return icon;
}

} // namespace kx::generator
