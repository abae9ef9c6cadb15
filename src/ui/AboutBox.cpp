// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AboutBox.h"

#include "ui/DialogTexts.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QLayout>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kx::ui {
namespace {

QLabel* namedLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget* parent, AboutInfo info)
    : QDialog(parent), m_info(std::move(info)), m_product(namedLabel(this, "ProductName")),
      m_version(namedLabel(this, "Version")), m_firmware(namedLabel(this, "Version1")),
      m_fpga(namedLabel(this, "Version2")), m_serial(new QLineEdit(this)),
      m_deviceCode(namedLabel(this, "Label_Device_Code")),
      m_ok(new QPushButton(QString::fromUtf8(kOkCaption), this)) {
    setObjectName(QStringLiteral("TAboutBox"));
    setModal(true);

    QFont bold = m_product->font();
    bold.setBold(true);
    m_product->setFont(bold);
    m_serial->setObjectName(QStringLiteral("Edit_SN"));
    m_serial->setReadOnly(true);
    m_serial->setFrame(false);
    m_serial->setMinimumWidth(300);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* lines = new QVBoxLayout(panel);
    for (QWidget* w : {static_cast<QWidget*>(m_product), static_cast<QWidget*>(m_version),
                       static_cast<QWidget*>(m_firmware), static_cast<QWidget*>(m_fpga),
                       static_cast<QWidget*>(m_serial), static_cast<QWidget*>(m_deviceCode)})
        lines->addWidget(w);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutBox::showEvent(QShowEvent* event) {
    // A restore from minimised is not a new showing.
    if (!event->spontaneous()) {
        const AboutTexts t = aboutTexts(m_info);
        setWindowTitle(QString::fromStdString(t.caption));
        m_product->setText(QString::fromStdString(t.productName));
        m_version->setText(QString::fromStdString(t.version));
        m_firmware->setText(QString::fromStdString(t.firmware));
        m_fpga->setText(QString::fromStdString(t.fpga));
        m_serial->setText(QString::fromStdString(t.serialNumber));
        m_deviceCode->setText(QString::fromStdString(t.deviceCode));
        m_serial->setVisible(m_info.debugMode);
        m_deviceCode->setVisible(m_info.debugMode);
        m_ok->setFocus();
        // Captions change the size: settle it before the window appears.
        layout()->activate();
    }
    QDialog::showEvent(event);
}

} // namespace kx::ui
