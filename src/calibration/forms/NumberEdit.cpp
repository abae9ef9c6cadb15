// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/forms/NumberEdit.h"

#include <QApplication>
#include <QPalette>

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

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
    // from_chars ignores the locale, which the toolkit sets from the environment.
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (first != last && *first == '+') ++first;
    double v = 0.0;
    const auto [end, ec] = std::from_chars(first, last, v);
    if (first == last || ec != std::errc() || end != last || !std::isfinite(v)) return std::nullopt;
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
