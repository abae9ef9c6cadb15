// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/forms/TForm_Recorder.h"

#include "files/RecorderTexts.h"

#include <QDateTime>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>

namespace kx::files {
namespace {

constexpr int kTimerMs = 93;

// The system clock, written in the locale's short date and long time (without a time zone).
class LocaleClock : public RecorderClock {
public:
    TimePoint now() override { return std::chrono::system_clock::now(); }
    std::string dateTime(TimePoint t) override {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
        const QDateTime dt = QDateTime::fromMSecsSinceEpoch(ms);
        const QLocale locale;
        QString timeFormat = locale.timeFormat(QLocale::LongFormat);
        timeFormat.remove(QLatin1Char('t'));
        timeFormat = timeFormat.trimmed();
        return (locale.toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                locale.toString(dt.time(), timeFormat))
            .toStdString();
    }
};

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TForm_Recorder::TForm_Recorder(QWidget* parent, Parts parts)
    : QDialog(parent), m_state(parts.state),
      m_clock(parts.clock ? std::move(parts.clock) : std::make_unique<LocaleClock>()),
      m_logic(parts.recorder, parts.prompt, *m_clock, std::move(parts.header),
              std::move(parts.recordingChanged)),
      m_separator(parts.decimalSeparator) {
    setObjectName(QStringLiteral("TForm_Recorder"));
    setModal(true);

    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("Edit_File"));
    m_file->setReadOnly(true);
    m_file->setMinimumWidth(320);
    m_buttonFile = new QPushButton(this);
    m_buttonFile->setObjectName(QStringLiteral("Button_File"));
    m_info = new QPlainTextEdit(this);
    m_info->setObjectName(QStringLiteral("Memo_Info"));
    m_info->setReadOnly(true);
    m_info->setMinimumHeight(190);
    m_size = new QLabel(this);
    m_size->setObjectName(QStringLiteral("Label_Size"));
    m_buttonStart = new QPushButton(this);
    m_buttonStart->setObjectName(QStringLiteral("Button_Start"));
    m_buttonStop = new QPushButton(this);
    m_buttonStop->setObjectName(QStringLiteral("Button_Stop"));
    m_buttonExit = new QPushButton(this);
    m_buttonExit->setObjectName(QStringLiteral("Button_Exit"));
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kTimerMs);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_buttonFile);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_buttonStart);
    buttons->addWidget(m_buttonStop);
    buttons->addStretch(1);
    buttons->addWidget(m_buttonExit);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(fileRow);
    outer->addWidget(m_info, 1);
    outer->addWidget(m_size);
    outer->addLayout(buttons);

    connect(m_buttonFile, &QPushButton::clicked, this, [this] {
        m_logic.chooseFile(m_state.system.LastDir);
        refresh();
    });
    connect(m_buttonStart, &QPushButton::clicked, this, [this] {
        m_logic.start();
        refresh();
        if (m_buttonStop->isEnabled()) m_buttonStop->setFocus();
    });
    connect(m_buttonStop, &QPushButton::clicked, this, [this] {
        m_logic.stop(false);
        refresh();
    });
    connect(m_buttonExit, &QPushButton::clicked, this, &TForm_Recorder::reject);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_logic.tick();
        m_size->setText(QString::fromStdString(m_logic.sizeLabel()));
    });
}

TForm_Recorder::~TForm_Recorder() = default;

void TForm_Recorder::applyCaptions() {
    setWindowTitle(text(texts::kRecorderWindow.pick(m_russian)));
    m_buttonFile->setText(text(texts::kRecorderButtonFile.pick(m_russian)));
    m_buttonStart->setText(text(texts::kRecorderButtonStart.pick(m_russian)));
    m_buttonStop->setText(text(texts::kRecorderButtonStop.pick(m_russian)));
    m_buttonExit->setText(text(texts::kRecorderButtonExit.pick(m_russian)));
}

void TForm_Recorder::refresh() {
    m_file->setText(QString::fromStdString(m_logic.fileName()));
    QStringList lines;
    for (const std::string& line : m_logic.info()) lines << QString::fromStdString(line);
    m_info->setPlainText(lines.join(QLatin1Char('\n')));
    m_size->setText(QString::fromStdString(m_logic.sizeLabel()));
    const auto& b = m_logic.buttons();
    m_buttonFile->setEnabled(b.file);
    m_buttonStart->setEnabled(b.start);
    m_buttonStop->setEnabled(b.stop);
    m_buttonExit->setEnabled(b.exit);
}

void TForm_Recorder::showEvent(QShowEvent* event) {
    // A restore from minimised is not a new showing.
    if (!event->spontaneous()) {
        m_russian = m_state.system.RussianUi;
        m_logic.open(m_russian, m_state.system.LastDir, m_separator);
        applyCaptions();
        refresh();
        m_buttonExit->setFocus();
        adjustSize();
        if (QWidget* p = parentWidget()) {
            QRect r(QPoint(), frameGeometry().size());
            r.moveCenter(p->window()->frameGeometry().center());
            move(r.topLeft());
        }
        m_timer->start();
    }
    QDialog::showEvent(event);
}

void TForm_Recorder::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) m_timer->stop();
    QDialog::hideEvent(event);
}

void TForm_Recorder::reject() {
    if (m_logic.recording() && !m_logic.stop(true)) return;
    refresh();
    QDialog::reject();
}

void TForm_Recorder::changeEvent(QEvent* event) {
    // Minimising the recorder minimises the whole program; the dialog stays with it.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        if (QWidget* p = parentWidget()) {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            p->window()->showMinimized();
        }
    }
    QDialog::changeEvent(event);
}

} // namespace kx::files
