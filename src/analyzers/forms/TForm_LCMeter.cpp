// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/forms/TForm_LCMeter.h"

#include "core/Text.h"

#include <QCheckBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kx::analyzers {

namespace {

constexpr core::TextPair kCaption{"LC Meter", "Измеритель LC"};
constexpr core::TextPair kCalibrate{"Calibrate", "Калибровка"};
constexpr core::TextPair kStart{"Start", "Старт"};
constexpr core::TextPair kStop{"Stop", "Стоп"};
constexpr core::TextPair kExit{"Exit", "Выход"};
constexpr int kPollMs = 100;

QString memoText(const std::vector<std::string>& lines) {
    QString text;
    for (const std::string& line : lines) {
        QString l = QString::fromStdString(line);
        l.replace("\r\n", "\n");
        text += l + '\n';
    }
    return text;
}

} // namespace

TForm_LCMeter::TForm_LCMeter(QWidget* parent, LcMeterHooks hooks)
    : QDialog(parent), m_hooks(std::move(hooks)) {
    const bool ru = m_hooks.russian;
    setObjectName("TForm_LCMeter");
    setWindowTitle(QString::fromUtf8(kCaption.pick(ru)));
    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const core::TextPair& text) {
        auto* b = new QPushButton(QString::fromUtf8(text.pick(ru)), this);
        b->setObjectName(name);
        buttons->addWidget(b);
        return b;
    };
    m_calibrate = button("Button_Calibrate", kCalibrate);
    m_start = button("Button_Start", kStart);
    m_stop = button("Button_Stop", kStop);
    m_selfC = new QCheckBox("Self C", this);
    m_selfC->setObjectName("CheckBox_SelfC");
    m_selfC->setVisible(m_hooks.selfCShown);
    buttons->addWidget(m_selfC);
    buttons->addStretch();
    m_exit = button("Button_Exit", kExit);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName("ProgressBar");
    m_progress->setTextVisible(false);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName("Memo");
    m_memo->setReadOnly(true);
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    m_memo->setFont(mono);
    m_memo->setMinimumSize(560, 300);
    m_result = new QLabel(this);
    m_result->setObjectName("Label_Result");
    QFont big = m_result->font();
    big.setPointSize(18);
    big.setBold(true);
    m_result->setFont(big);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_progress);
    layout->addWidget(m_memo);
    layout->addWidget(m_result);

    connect(m_calibrate, &QPushButton::clicked, this, [this] {
        m_hooks.calibrate(m_selfC->isChecked());
        refresh();
    });
    connect(m_start, &QPushButton::clicked, this, [this] {
        m_hooks.start();
        refresh();
    });
    connect(m_stop, &QPushButton::clicked, this, [this] {
        m_hooks.stop(false);
        refresh();
    });
    connect(m_selfC, &QCheckBox::toggled, this, [this] {
        m_hooks.stop(true);
        refresh();
    });
    connect(m_exit, &QPushButton::clicked, this, &QDialog::accept);
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, [this] { refresh(); });
    m_timer->start(kPollMs);
    refresh();
}

void TForm_LCMeter::refresh() {
    const LcMeterView v = m_hooks.view();
    if (v.revision == m_revision) return;
    m_revision = v.revision;
    m_calibrate->setEnabled(v.calibrateEnabled);
    m_start->setEnabled(v.startEnabled);
    m_stop->setEnabled(v.stopEnabled);
    m_progress->setRange(0, v.progressMaximum);
    m_progress->setValue(v.progress);
    m_memo->setPlainText(memoText(v.memo));
    m_result->setText(QString::fromStdString(v.result));
}

} // namespace kx::analyzers
