// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/LanguageDialog.h"

#include "ui/DialogPlacement.h"

#include <QComboBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kx::ui {
namespace {

constexpr int kEnglish = 0;
constexpr int kRussian = 1;

} // namespace

LanguageDialog::LanguageDialog(QWidget* parent)
    : QDialog(parent), m_combo(new QComboBox(this)), m_ok(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("TForm_Sel_Lng"));
    setWindowTitle(QStringLiteral("Select Language."));
    setModal(true);

    m_combo->setObjectName(QStringLiteral("ComboBox_Sel_Lng"));
    m_combo->addItem(QStringLiteral("English"));
    m_combo->addItem(QStringLiteral("Russian"));
    m_combo->setEditable(false);

    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_combo);
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool LanguageDialog::russianChosen() const {
    return m_combo->currentIndex() == kRussian;
}

bool LanguageDialog::ask(QWidget* parent) {
    LanguageDialog dialog(parent);
    placeOver(&dialog, parent);
    dialog.exec();
    return dialog.russianChosen();
}

void LanguageDialog::showEvent(QShowEvent* event) {
    // A restore from minimised is not a new showing.
    if (!event->spontaneous()) {
        m_combo->setCurrentIndex(kEnglish);
        m_ok->setFocus();
    }
    QDialog::showEvent(event);
}

} // namespace kx::ui
