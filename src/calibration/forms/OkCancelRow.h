// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHBoxLayout>
#include <QPushButton>

namespace kx::calibration {

// The calibration dialogs' bottom row: "OK" and the cancel button (captioned with the language),
// to the right.
inline QHBoxLayout* okCancelRow(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel) {
    auto* buttons = new QHBoxLayout;
    ok = new QPushButton("OK", dialog);
    ok->setObjectName("Button_OK");
    cancel = new QPushButton(dialog);
    cancel->setObjectName("Button_Cancel");
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    return buttons;
}

} // namespace kx::calibration
