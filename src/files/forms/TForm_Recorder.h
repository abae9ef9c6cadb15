// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "core/Prompt.h"
#include "files/RecorderDialog.h"
#include "files/RecorderFile.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace kx::files {

// The binary recorder's dialog. exec() shows it modally, centred on the parent's window, in the
// language RussianUi has at that moment, with "recorder.bin" in LastDir. While it records, the
// window's synchronised update appends to `recorder`; closing asks whether to stop, and
// minimising it minimises the whole program.
class TForm_Recorder : public QDialog {
public:
    struct Parts {
        core::InstrumentState& state;              // RussianUi, LastDir
        BinaryRecorder& recorder;                  // owned by the session, appended per frame
        core::Prompt& prompt;                      // questions, messages, the file dialog
        std::function<core::FrameHeader()> header; // the current frame's header, copied under its lock
        std::function<void()> recordingChanged;    // started or stopped: tell the acquisition
        char decimalSeparator = '.';               // the locale's
        std::unique_ptr<RecorderClock> clock;      // empty: the system clock and the locale's date form
    };

    TForm_Recorder(QWidget* parent, Parts parts);
    ~TForm_Recorder() override;

    // Button_Exit, Esc and the close box: while recording, only after "Stop recording?" is answered Yes.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyCaptions();
    void refresh();

    core::InstrumentState& m_state;
    std::unique_ptr<RecorderClock> m_clock;
    RecorderDialog m_logic;
    char m_separator;
    bool m_russian = false;

    QLineEdit* m_file = nullptr;
    QPlainTextEdit* m_info = nullptr;
    QLabel* m_size = nullptr;
    QPushButton* m_buttonFile = nullptr;
    QPushButton* m_buttonStart = nullptr;
    QPushButton* m_buttonStop = nullptr;
    QPushButton* m_buttonExit = nullptr;
    QTimer* m_timer = nullptr;
};

} // namespace kx::files
