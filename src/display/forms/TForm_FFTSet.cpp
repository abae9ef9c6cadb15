// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/forms/TForm_FFTSet.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kx::display {
namespace {

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <std::size_t N>
void setItems(QButtonGroup* group, const std::array<core::TextPair, N>& items, bool ru) {
    for (std::size_t i = 0; i < N; ++i)
        if (QAbstractButton* b = group->button(static_cast<int>(i))) b->setText(text(items[i].pick(ru)));
}

} // namespace

TForm_FFTSet::TForm_FFTSet(QWidget* parent, core::InstrumentState& state, FftDialogHooks hooks)
    : QDialog(parent), m_state(state), m_hooks(std::move(hooks)) {
    setObjectName(QStringLiteral("TForm_FFTSet"));
    setModal(true);

    m_sizeBox = buildGroup("RadioGroup_Size", m_size, fftdialog::kSizeItems.size(), FftControl::Size);
    m_windowBox = buildGroup("RadioGroup_Win", m_window, fftdialog::kWindowItems.size(), FftControl::Window);
    m_scaleBox = buildGroup("RadioGroup_Scale", m_scale, fftdialog::kScaleItems.size(), FftControl::Scale);
    m_depthBox = buildGroup("RadioGroup_Ave", m_depth, fftdialog::kDepthItems.size(), FftControl::Depth);
    m_zoomBox = buildGroup("RadioGroup_Zoom", m_zoom, fftdialog::kZoomItems.size(), FftControl::Zoom);
    m_db15 = buildCheck("CheckBox_15dB_div", FftControl::Db15);
    m_dbvToVolt = buildCheck("CheckBox_dbv_v", FftControl::DbvToVolt);
    m_averaging = buildCheck("CheckBox_Ave_On", FftControl::Averaging);
    m_viewSignal = buildCheck("CheckBox_View_Sig", FftControl::ViewSignal);
    m_calcBoth = buildCheck("CheckBox_Calc_Both", FftControl::CalcBoth);

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("Button_OK"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* averaging = new QVBoxLayout;
    averaging->addWidget(m_averaging);
    averaging->addWidget(m_depthBox);
    auto* checks = new QVBoxLayout;
    for (QCheckBox* c : {m_db15, m_dbvToVolt, m_viewSignal, m_calcBoth}) checks->addWidget(c);
    checks->addStretch(1);
    auto* grid = new QGridLayout;
    grid->addWidget(m_sizeBox, 0, 0);
    grid->addWidget(m_windowBox, 0, 1);
    grid->addWidget(m_scaleBox, 0, 2);
    grid->addLayout(averaging, 0, 3);
    grid->addWidget(m_zoomBox, 0, 4);
    grid->addLayout(checks, 0, 5);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(buttons);
}

QGroupBox* TForm_FFTSet::buildGroup(const char* name, QButtonGroup*& group, std::size_t items,
                                    FftControl control) {
    auto* box = new QGroupBox(this);
    box->setObjectName(QString::fromLatin1(name));
    group = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    for (std::size_t i = 0; i < items; ++i) {
        auto* b = new QRadioButton(box);
        group->addButton(b, static_cast<int>(i));
        layout->addWidget(b);
    }
    layout->addStretch(1);
    connect(group, &QButtonGroup::idClicked, this, [this, control](int id) { onControl(control, id); });
    return box;
}

QCheckBox* TForm_FFTSet::buildCheck(const char* name, FftControl control) {
    auto* c = new QCheckBox(this);
    c->setObjectName(QString::fromLatin1(name));
    connect(c, &QCheckBox::toggled, this, [this, control](bool on) { onControl(control, on ? 1 : 0); });
    return c;
}

void TForm_FFTSet::onControl(FftControl control, int value) {
    if (m_loading) return;
    const FftControlEffect e = applyFftControl(m_state.fft, control, value);
    if (!e.changed) return;
    if (e.restartAndRecompute && m_hooks.restartAndRecompute) m_hooks.restartAndRecompute();
    if (m_hooks.refresh) m_hooks.refresh();
}

void TForm_FFTSet::load() {
    m_loading = true;
    const core::FftState& f = m_state.fft;
    auto check = [](QButtonGroup* g, int id) {
        if (QAbstractButton* b = g->button(id)) b->setChecked(true);
    };
    check(m_size, fftControlValue(f, FftControl::Size));
    check(m_window, fftControlValue(f, FftControl::Window));
    check(m_scale, fftControlValue(f, FftControl::Scale));
    check(m_depth, fftControlValue(f, FftControl::Depth));
    check(m_zoom, fftControlValue(f, FftControl::Zoom));
    m_db15->setChecked(f.dB15_div);
    m_dbvToVolt->setChecked(f.dbv_v);
    m_averaging->setChecked(f.Ave_On);
    m_viewSignal->setChecked(f.View_Sig);
    m_calcBoth->setChecked(f.Calc_Both);
    m_calcBoth->setVisible(calcBothAvailable(m_state.system.UiDeviceType));
    m_loading = false;
}

void TForm_FFTSet::applyCaptions() {
    const bool ru = m_state.system.RussianUi;
    setWindowTitle(text(fftdialog::kTitle.pick(ru)));
    m_sizeBox->setTitle(text(fftdialog::kSize.pick(ru)));
    m_windowBox->setTitle(text(fftdialog::kWindow.pick(ru)));
    m_scaleBox->setTitle(text(fftdialog::kScale.pick(ru)));
    m_zoomBox->setTitle(text(fftdialog::kZoom.pick(ru)));
    setItems(m_size, fftdialog::kSizeItems, ru);
    setItems(m_window, fftdialog::kWindowItems, ru);
    setItems(m_scale, fftdialog::kScaleItems, ru);
    setItems(m_depth, fftdialog::kDepthItems, ru);
    setItems(m_zoom, fftdialog::kZoomItems, ru);
    m_db15->setText(text(fftdialog::kDb15.pick(ru)));
    m_dbvToVolt->setText(text(fftdialog::kDbvToVolt.pick(ru)));
    m_averaging->setText(text(fftdialog::kAveraging.pick(ru)));
    m_viewSignal->setText(text(fftdialog::kViewSignal.pick(ru)));
    m_calcBoth->setText(text(fftdialog::kCalcBoth.pick(ru)));
    m_ok->setText(text(fftdialog::kOk.pick(ru)));
    m_cancel->setText(text(fftdialog::kCancel.pick(ru)));
}

void TForm_FFTSet::showEvent(QShowEvent* event) {
    m_opened = m_state.fft;
    load();
    applyCaptions();
    adjustSize();
    if (QWidget* p = parentWidget()) {
        const QRect r = p->window()->geometry();
        move(r.center() - rect().center());
    }
    QDialog::showEvent(event);
}

void TForm_FFTSet::reject() {
    if (restoreFftSettings(m_opened, m_state.fft) && m_hooks.restartAndRecompute)
        m_hooks.restartAndRecompute();
    if (m_hooks.refresh) m_hooks.refresh();
    QDialog::reject();
}

} // namespace kx::display
