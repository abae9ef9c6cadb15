// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

#include <functional>
#include <optional>

namespace kx::calibration {

// A number box of the calibration dialogs: yellow while it has the focus, fuchsia while its
// text is not a number (the value stays what it was), the window colour otherwise. Either
// decimal separator is taken.
class NumberEdit : public QLineEdit {
public:
    NumberEdit(const char* name, QWidget* parent);

    std::function<void(double)> onValue; // a number was typed
    std::function<void()> onFocus;       // the box got the focus

    // Rewrites the box from the stored value unless it is being edited.
    void showValue(double value, int decimals);
    // Writes the value even while the box has the focus (a procedure filling it in).
    void putValue(double value, int decimals);

    static std::optional<double> parse(const QString& text);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void recolour();
    bool m_valid = true;
};

} // namespace kx::calibration
