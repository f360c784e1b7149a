#include "app/qt/CTextOutBox.h"

#include <QApplication>

#include "app/TavStrings.h"
#include "app/qt/TavApplicationTitle.h"
#include "view/qt/CWindowList.h"

namespace {

QString FromStringTable(int id) {
    const std::string_view text = TavStrings::Text(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QMessageBox::StandardButtons CTextOutBox::AskButtons(int buttons) {
    switch (buttons) {
    case 1:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case 2:
        return QMessageBox::Yes | QMessageBox::No;
    case 3:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon CTextOutBox::AskIcon(int icon) {
    switch (icon) {
    case 0:
        return QMessageBox::Question;
    case 1:
        return QMessageBox::Warning;
    case 2:
        return QMessageBox::Critical;
    default:
        return QMessageBox::NoIcon;
    }
}

int CTextOutBox::AskAnswer(QMessageBox::StandardButton chosen) {
    switch (chosen) {
    case QMessageBox::Cancel:
        return 1;
    case QMessageBox::Yes:
        return 2;
    case QMessageBox::No:
        return 3;
    default:
        return 0;
    }
}

void CTextOutBox::Report(int code) {
    Show(FromStringTable(TavStrings::MessageStringId(code)), QMessageBox::Ok, QMessageBox::NoIcon);
}

int CTextOutBox::Ask(int buttons, int code, int icon) {
    return AskAnswer(
        Show(FromStringTable(TavStrings::QuestionStringId(code)), AskButtons(buttons), AskIcon(icon)));
}

void CTextOutBox::Output(const std::string& text) {
    // Script and message texts are Shift_JIS bytes; the diagnostics shown here are ASCII
    // apart from names quoted from the script, which are shown as the locale reads them.
    Show(QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok,
         QMessageBox::NoIcon);
}

QMessageBox::StandardButton CTextOutBox::Show(const QString& text, QMessageBox::StandardButtons buttons,
                                              QMessageBox::Icon icon) {
    QMessageBox box(icon, TavApplicationTitle(), text, buttons, m_windows ? m_windows->TopWindow() : nullptr);
    box.setTextFormat(Qt::PlainText);
    const CWindowList::CModal modal(m_windows, &box);
    return Exec(box);
}

QMessageBox::StandardButton CTextOutBox::Exec(QMessageBox& box) {
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
