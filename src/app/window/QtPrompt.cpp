// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/QtPrompt.h"

#include "ui/DialogPlacement.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace kx::app {

namespace {

QString shown(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

// Marks the instance busy for the lifetime of one dialog.
class Busy {
public:
    explicit Busy(const std::function<void(bool)>& hook) : m_hook(hook) {
        if (m_hook) m_hook(true);
    }
    ~Busy() {
        if (m_hook) m_hook(false);
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    const std::function<void(bool)>& m_hook;
};

} // namespace

QString qtFilter(const std::string& filter) {
    // "Name (*.x)|*.x|All (*.*)|*.*": every second field is the pattern, already named.
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) out << parts[i];
    return out.join(QStringLiteral(";;"));
}

core::Answer QtPrompt::message(const std::string& caption, const std::string& text,
                               core::MessageStyle style) {
    Busy busy(m_busy);
    QMessageBox box(m_parent);
    box.setWindowTitle(shown(caption));
    box.setText(shown(text));
    switch (style) {
    case core::MessageStyle::Error:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case core::MessageStyle::Warning:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case core::MessageStyle::Information:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case core::MessageStyle::Question:
    case core::MessageStyle::YesNo:
        box.setIcon(style == core::MessageStyle::Question ? QMessageBox::Question : QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        if (m_russian && m_russian()) {
            box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
            box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
        }
        break;
    }
    // On the main window, and never narrower than its caption.
    ui::placeOver(&box, m_parent);
    const int result = box.exec();
    if (style != core::MessageStyle::YesNo && style != core::MessageStyle::Question) return core::Answer::Ok;
    return result == QMessageBox::Yes ? core::Answer::Yes : core::Answer::No;
}

std::string QtPrompt::openFile(const std::string& title, const std::string& filter,
                               const std::string& initialDir) {
    Busy busy(m_busy);
    return QFileDialog::getOpenFileName(m_parent, shown(title), QString::fromStdString(initialDir),
                                        qtFilter(filter))
        .toStdString();
}

std::string QtPrompt::saveFile(const std::string& title, const std::string& filter,
                               const std::string& initialDir, const std::string& defaultName) {
    Busy busy(m_busy);
    QString start = QString::fromStdString(initialDir);
    if (!defaultName.empty() && defaultName.find('*') == std::string::npos) {
        if (!start.isEmpty() && !start.endsWith(QLatin1Char('/'))) start += QLatin1Char('/');
        start += QString::fromStdString(defaultName);
    }
    return QFileDialog::getSaveFileName(m_parent, shown(title), start, qtFilter(filter)).toStdString();
}

} // namespace kx::app
