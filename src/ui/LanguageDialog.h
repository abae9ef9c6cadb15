// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

namespace kx::ui {

// TForm_Sel_Lng: the language choice of a first start. Its own texts are not translated.
class LanguageDialog : public QDialog {
public:
    explicit LanguageDialog(QWidget* parent = nullptr);

    // The entry chosen now; closing the dialog in any way keeps it.
    bool russianChosen() const;

    // Shows the dialog modally over `parent` and returns whether Russian was chosen.
    static bool ask(QWidget* parent);

protected:
    // Every showing starts from English.
    void showEvent(QShowEvent* event) override;

private:
    QComboBox* m_combo;
    QPushButton* m_ok;
};

} // namespace kx::ui
