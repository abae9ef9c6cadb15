// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/AboutTexts.h"

#include <QDialog>

#include <utility>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kx::ui {

// TAboutBox: the program's name and version and what the instrument reported of itself.
class AboutBox : public QDialog {
public:
    explicit AboutBox(QWidget* parent = nullptr, AboutInfo info = {});

    // What the next showing presents; a box kept for the whole run gets this before each exec().
    void setInfo(AboutInfo info) { m_info = std::move(info); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    AboutInfo m_info;
    QLabel* m_product;
    QLabel* m_version;
    QLabel* m_firmware;
    QLabel* m_fpga;
    QLineEdit* m_serial;
    QLabel* m_deviceCode;
    QPushButton* m_ok;
};

} // namespace kx::ui
