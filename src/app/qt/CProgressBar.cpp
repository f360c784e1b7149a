#include "app/qt/CProgressBar.h"

#include <QApplication>

CProgressBar::~CProgressBar() {
    Finish();
}

void CProgressBar::Start(int steps) {
    Finish();
    auto* dialog = new QProgressDialog(m_owner);
    dialog->setWindowTitle(QApplication::applicationDisplayName());
    dialog->setLabelText(QObject::tr("Working..."));
    dialog->setCancelButton(nullptr);
    dialog->setRange(0, std::max(steps, 1));
    dialog->setMinimumDuration(0);
    // The operation closes it; reaching the last step must not reset or hide it early.
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setValue(0);
    m_dialog = dialog;
}

// Repainting the bar needs the event loop; only paint work is let through here, so no
// user input starts anything while the operation runs.
void CProgressBar::Step() {
    if (!m_dialog)
        return;
    m_dialog->setValue(std::min(m_dialog->value() + 1, m_dialog->maximum()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void CProgressBar::Finish() {
    delete m_dialog.data();
}
