// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/forms/TForm_S_Decoders.h"

#include "core/DeviceModel.h"
#include "decoders/DecoderTexts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kx::decoders {
namespace {

constexpr QRgb kInvalidEdit = qRgb(0xFF, 0x00, 0xFF); // fuchsia

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}

void setBase(QLineEdit* edit, const QColor& color) {
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, color);
    edit->setPalette(p);
}

template <std::size_t N> void setItems(QComboBox* combo, const std::array<const char*, N>& items) {
    combo->clear();
    for (const char* item : items) combo->addItem(qs(item));
}

constexpr std::array<const char*, 4> kRoleNames{"RXD", "TXD", "CLK", "CS"};

} // namespace

TForm_S_Decoders::TForm_S_Decoders(QWidget* parent, core::InstrumentState& state, DecoderDialogHooks hooks)
    : QDialog(parent), m_state(state), m_hooks(std::move(hooks)) {
    setObjectName(QStringLiteral("TForm_S_Decoders"));
    setModal(true);

    m_labelDecoder = new QLabel(this);
    m_labelDecoder->setObjectName(QStringLiteral("Label_Decoder"));
    m_decoder = makeCombo("ComboBox_Decoder", DecoderControl::Type);
    m_labelDisplay = new QLabel(this);
    m_labelDisplay->setObjectName(QStringLiteral("Label_Display"));
    m_display = makeCombo("ComboBox_Display", DecoderControl::Display);

    auto* format = new QGridLayout;
    m_labelBaud = new QLabel(this);
    m_labelBaud->setObjectName(QStringLiteral("Label_Baud_Rate"));
    m_baud = makeEdit("Edit_Baud_Rate", DecoderControl::Baud_Rate);
    m_labelParity = new QLabel(this);
    m_labelParity->setObjectName(QStringLiteral("Label_PRTY"));
    m_parity = makeCombo("ComboBox_PRTY", DecoderControl::PRTY);
    m_labelDataBits = new QLabel(this);
    m_labelDataBits->setObjectName(QStringLiteral("Label_Data_Bits"));
    m_dataBits = makeEdit("Edit_Data_Bits", DecoderControl::Data_Bits);
    m_labelStopBits = new QLabel(this);
    m_labelStopBits->setObjectName(QStringLiteral("Label_Stop_Bits"));
    m_stopBits = makeEdit("Edit_Stop_Bits", DecoderControl::Stop_Bits);
    format->addWidget(m_labelBaud, 0, 0, Qt::AlignRight);
    format->addWidget(m_baud, 0, 1);
    format->addWidget(m_labelParity, 1, 0, Qt::AlignRight);
    format->addWidget(m_parity, 1, 1);
    format->addWidget(m_labelDataBits, 2, 0, Qt::AlignRight);
    format->addWidget(m_dataBits, 2, 1);
    format->addWidget(m_labelStopBits, 3, 0, Qt::AlignRight);
    format->addWidget(m_stopBits, 3, 1);

    m_bitOrderBox = new QGroupBox(this);
    m_bitOrderBox->setObjectName(QStringLiteral("RadioGroup_MSB_First"));
    m_bitOrder = new QButtonGroup(m_bitOrderBox);
    auto* order = new QVBoxLayout(m_bitOrderBox);
    for (std::size_t i = 0; i < text::kBitOrderItems.size(); ++i) {
        auto* b = new QRadioButton(qs(text::kBitOrderItems[i]), m_bitOrderBox);
        b->setObjectName(QStringLiteral("RadioGroup_MSB_First_%1").arg(i));
        m_bitOrder->addButton(b, static_cast<int>(i));
        order->addWidget(b);
    }
    connect(m_bitOrder, &QButtonGroup::idClicked, this,
            [this](int id) { onControl(DecoderControl::MSB_First, id); });

    auto* roles = new QGridLayout;
    m_roles[0] = makeRole("RXD", DecoderControl::RXD, DecoderControl::RXD_Inv);
    m_roles[1] = makeRole("TXD", DecoderControl::TXD, DecoderControl::TXD_Inv);
    m_roles[2] = makeRole("CLK", DecoderControl::CLK, DecoderControl::CLK_Inv);
    m_roles[3] = makeRole("CS", DecoderControl::CS, DecoderControl::CS_Inv);
    for (int r = 0; r < 4; ++r) {
        const Role& role = m_roles[static_cast<std::size_t>(r)];
        roles->addWidget(role.label, r, 0, Qt::AlignRight);
        roles->addWidget(role.source, r, 1);
        roles->addWidget(role.inverted, r, 2);
    }
    roles->setRowStretch(4, 1);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo_Decoders"));
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The listing is laid out in columns.
    m_memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_memo->setMinimumSize(460, 220);

    m_save = new QPushButton(this);
    m_save->setObjectName(QStringLiteral("Button_Save"));
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (m_hooks.save) m_hooks.save();
    });
    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("Button_OK"));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
    connect(m_cancel, &QPushButton::clicked, this, &TForm_S_Decoders::reject);

    auto* head = new QHBoxLayout;
    head->addWidget(m_labelDecoder);
    head->addWidget(m_decoder);
    head->addStretch(1);
    head->addWidget(m_labelDisplay);
    head->addWidget(m_display);
    auto* settings = new QHBoxLayout;
    settings->addLayout(format);
    settings->addWidget(m_bitOrderBox, 0, Qt::AlignTop);
    settings->addLayout(roles);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_save);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(head);
    outer->addLayout(settings);
    outer->addWidget(m_memo, 1);
    outer->addLayout(buttons);
}

TForm_S_Decoders::~TForm_S_Decoders() {
    if (m_hooks.watchListing) m_hooks.watchListing({});
}

QComboBox* TForm_S_Decoders::makeCombo(const char* name, DecoderControl control) {
    auto* c = new QComboBox(this);
    c->setObjectName(QString::fromLatin1(name));
    connect(c, &QComboBox::currentIndexChanged, this, [this, c, control](int index) {
        if (m_loading || index < 0) return;
        onControl(control, index);
        // A source's "-" item stands for A1.
        const auto stored = static_cast<int>(decoderControlValue(m_state.decoder, control));
        if (stored != index) {
            m_loading = true;
            c->setCurrentIndex(stored);
            m_loading = false;
        }
    });
    return c;
}

QLineEdit* TForm_S_Decoders::makeEdit(const char* name, DecoderControl control) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(editMaxLength(control));
    e->setMaximumWidth(90);
    connect(e, &QLineEdit::textChanged, this,
            [this, e, control](const QString& text) { onEdit(e, control, text); });
    return e;
}

TForm_S_Decoders::Role TForm_S_Decoders::makeRole(const char* role, DecoderControl source,
                                                  DecoderControl inverted) {
    Role r;
    const QString name = QString::fromLatin1(role);
    r.label = new QLabel(this);
    r.label->setObjectName(QStringLiteral("Label_") + name);
    r.source = makeCombo(("ComboBox_" + std::string(role)).c_str(), source);
    r.inverted = new QCheckBox(this);
    r.inverted->setObjectName(QStringLiteral("CheckBox_%1_Inv").arg(name));
    connect(r.inverted, &QCheckBox::toggled, this,
            [this, inverted](bool on) { onControl(inverted, on ? 1 : 0); });
    return r;
}

bool TForm_S_Decoders::a2Available() const {
    return core::hasA2Input(m_state.system.UiDeviceType);
}

void TForm_S_Decoders::onControl(DecoderControl control, std::int64_t value) {
    if (m_loading) return;
    applyDecoderControl(m_state.decoder, control, value, a2Available());
    if (control == DecoderControl::Type) updateDecoderControls();
    if (m_hooks.refresh) m_hooks.refresh();
}

void TForm_S_Decoders::onEdit(QLineEdit* edit, DecoderControl control, const QString& text) {
    if (m_loading) return;
    const auto value = checkIntegerText(text.toStdString(), control);
    if (!value) {
        setBase(edit, QColor(kInvalidEdit));
        return;
    }
    setBase(edit, QApplication::palette().color(QPalette::Base));
    onControl(control, *value);
}

void TForm_S_Decoders::applyCaptions() {
    const bool ru = m_state.system.RussianUi;
    setWindowTitle(qs(text::kTitle.pick(ru)));
    m_labelDecoder->setText(qs(text::kDecoder.pick(ru)));
    m_labelDisplay->setText(qs(text::kDisplay.pick(ru)));
    m_labelBaud->setText(qs(text::kBaudRate));
    m_labelParity->setText(qs(text::kParity));
    m_labelDataBits->setText(qs(text::kDataBits));
    m_labelStopBits->setText(qs(text::kStopBits));
    for (Role& r : m_roles) r.inverted->setText(qs(text::kInv.pick(ru)));
    m_save->setText(qs(text::kSave.pick(ru)));
    m_ok->setText(qs(text::kOk));
    m_cancel->setText(qs(text::kCancel));
}

void TForm_S_Decoders::load() {
    const bool ru = m_state.system.RussianUi;
    const bool a2 = a2Available();
    core::DecoderState& d = m_state.decoder;
    m_loading = true;
    setItems(m_decoder, std::array<const char*, 2>{text::kOff.pick(ru), text::kRs232});
    setItems(m_parity, text::kParityItems);
    setItems(m_display, text::kDisplayItems);
    for (std::size_t r = 0; r < m_roles.size(); ++r) {
        QComboBox* c = m_roles[r].source;
        c->clear();
        for (const std::string& item : sourceItems(r == 3, ru, a2)) c->addItem(QString::fromStdString(item));
        // CLK and CS have no decoder yet.
        const bool shown = r < 2;
        m_roles[r].label->setVisible(shown);
        c->setVisible(shown);
        m_roles[r].inverted->setVisible(shown);
    }
    prepareDecoderSettings(d);
    for (QLineEdit* e : {m_baud, m_dataBits, m_stopBits})
        setBase(e, QApplication::palette().color(QPalette::Base));

    m_decoder->setCurrentIndex(d.Type);
    m_baud->setText(QString::number(d.Baud_Rate));
    m_parity->setCurrentIndex(d.PRTY);
    m_dataBits->setText(QString::number(d.Data_Bits));
    m_stopBits->setText(QString::number(d.Stop_Bits));
    if (QAbstractButton* b = m_bitOrder->button(d.MSB_First)) b->setChecked(true);
    const std::array<DecoderControl, 4> sources{DecoderControl::RXD, DecoderControl::TXD, DecoderControl::CLK,
                                                DecoderControl::CS};
    const std::array<DecoderControl, 4> inversions{DecoderControl::RXD_Inv, DecoderControl::TXD_Inv,
                                                   DecoderControl::CLK_Inv, DecoderControl::CS_Inv};
    for (std::size_t r = 0; r < m_roles.size(); ++r) {
        m_roles[r].source->setCurrentIndex(static_cast<int>(decoderControlValue(d, sources[r])));
        m_roles[r].inverted->setChecked(decoderControlValue(d, inversions[r]) == 1);
    }
    m_display->setCurrentIndex(d.Display);
    m_loading = false;
    updateDecoderControls();
}

void TForm_S_Decoders::updateDecoderControls() {
    const DecoderControlStates s = decoderControlStates(m_state.decoder.Type);
    for (QWidget* w : std::initializer_list<QWidget*>{m_labelBaud, m_baud, m_labelParity, m_parity,
                                                      m_labelStopBits, m_stopBits})
        w->setEnabled(s.rs232);
    m_roles[0].label->setText(qs(s.rxdLabel));
    m_roles[1].label->setText(qs(s.txdLabel));
    m_roles[2].label->clear();
    m_roles[3].label->clear();
    for (std::size_t r = 0; r < m_roles.size(); ++r) {
        const bool enabled = r < 2 && s.rxdTxd;
        m_roles[r].source->setEnabled(enabled);
        m_roles[r].inverted->setEnabled(enabled);
    }
    if (s.clearListing && m_hooks.clearListing) m_hooks.clearListing();
}

void TForm_S_Decoders::showListing() {
    if (!m_hooks.listing) return;
    QString text;
    const std::vector<std::string>& lines = m_hooks.listing();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += QLatin1Char('\n');
        text += QString::fromStdString(lines[i]);
    }
    m_memo->setPlainText(text);
}

void TForm_S_Decoders::showEvent(QShowEvent* event) {
    m_opened = m_state.decoder;
    applyCaptions();
    load();
    showListing();
    if (m_hooks.watchListing) m_hooks.watchListing([this] { showListing(); });
    adjustSize();
    if (QWidget* p = parentWidget()) {
        const QRect r = p->window()->geometry();
        move(r.center() - rect().center());
    }
    QDialog::showEvent(event);
    m_cancel->setFocus();
}

void TForm_S_Decoders::reject() {
    m_state.decoder = m_opened;
    if (m_hooks.refresh) m_hooks.refresh();
    QDialog::reject();
}

void TForm_S_Decoders::done(int result) {
    if (m_hooks.watchListing) m_hooks.watchListing({});
    QDialog::done(result);
}

} // namespace kx::decoders
