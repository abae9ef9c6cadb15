// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/forms/NumberEdit.h"

#include <QApplication>
#include <QPalette>

#include <cmath>
#include <cstdlib>
#include <string>

namespace kx::calibration {

NumberEdit::NumberEdit(const char* name, QWidget* parent) : QLineEdit(parent) {
    setObjectName(name);
    setMaximumWidth(90);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        const std::optional<double> v = parse(text);
        m_valid = v.has_value();
        recolour();
        if (v && onValue) onValue(*v);
    });
}

std::optional<double> NumberEdit::parse(const QString& text) {
    std::string s = text.trimmed().toStdString();
    for (char& c : s)
        if (c == ',') c = '.';
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

void NumberEdit::showValue(double value, int decimals) {
    if (hasFocus()) return;
    putValue(value, decimals);
}

void NumberEdit::putValue(double value, int decimals) {
    setText(QString::number(value, 'f', decimals));
    m_valid = true;
    recolour();
}

void NumberEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    recolour();
    if (onFocus) onFocus();
}

void NumberEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    recolour();
}

void NumberEdit::recolour() {
    QPalette p = palette();
    const QColor base = !m_valid     ? QColor(0xFF, 0x00, 0xFF)
                        : hasFocus() ? QColor(Qt::yellow)
                                     : QApplication::palette().color(QPalette::Base);
    p.setColor(QPalette::Base, base);
    setPalette(p);
}

} // namespace kx::calibration
