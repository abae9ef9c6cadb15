// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "decoders/DecoderDialogModel.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kx::decoders {

// What the decoder dialog asks of the window.
struct DecoderDialogHooks {
    std::function<void()> refresh; // refresh notification: the frame is decoded and drawn again
    // The listing as the last frame left it.
    std::function<const std::vector<std::string>&()> listing;
    // Called with a function to run after every frame whose listing changed; with an empty one
    // when the dialog closes.
    std::function<void(std::function<void()>)> watchListing;
    std::function<void()> clearListing; // the decoder was switched off
    std::function<void()> save;         // "Save...": the decoded characters to a CSV file
};

// TForm_S_Decoders, the serial decoder dialog: the decoder settings, each applied at once, and
// the live listing. OK keeps the values; Cancel (also Esc or closing the window) restores the
// fifteen settings the dialog opened with. exec() shows it modally, centred on the parent's
// window, in the language RussianUi has then.
class TForm_S_Decoders : public QDialog {
public:
    TForm_S_Decoders(QWidget* parent, core::InstrumentState& state, DecoderDialogHooks hooks);
    ~TForm_S_Decoders() override;

    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Role {
        QLabel* label = nullptr;
        QComboBox* source = nullptr;
        QCheckBox* inverted = nullptr;
    };

    QComboBox* makeCombo(const char* name, DecoderControl control);
    QLineEdit* makeEdit(const char* name, DecoderControl control);
    Role makeRole(const char* role, DecoderControl source, DecoderControl inverted);
    void onControl(DecoderControl control, std::int64_t value);
    void onEdit(QLineEdit* edit, DecoderControl control, const QString& text);
    void load();
    void applyCaptions();
    void updateDecoderControls();
    void showListing();
    bool a2Available() const;

    core::InstrumentState& m_state;
    DecoderDialogHooks m_hooks;
    core::DecoderState m_opened;
    bool m_loading = false;

    QLabel* m_labelDecoder = nullptr;
    QComboBox* m_decoder = nullptr;
    QLabel* m_labelBaud = nullptr;
    QLineEdit* m_baud = nullptr;
    QLabel* m_labelParity = nullptr;
    QComboBox* m_parity = nullptr;
    QLabel* m_labelDataBits = nullptr;
    QLineEdit* m_dataBits = nullptr;
    QLabel* m_labelStopBits = nullptr;
    QLineEdit* m_stopBits = nullptr;
    QGroupBox* m_bitOrderBox = nullptr;
    QButtonGroup* m_bitOrder = nullptr;
    std::array<Role, 4> m_roles{}; // RXD, TXD, CLK, CS
    QLabel* m_labelDisplay = nullptr;
    QComboBox* m_display = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace kx::decoders
