#include "app/qt/CProgressBar.h"

#include <algorithm>
#include <functional>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "app/TavStrings.h"
#include "app/qt/TavApplicationTitle.h"
#include "view/qt/CInputGate.h"
#include "view/qt/CWindowList.h"

namespace {

QString ProgressText(int code) {
    const std::string_view text = TavStrings::ProgressText(code);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The dialog goes only when the operation ends: Escape and the window system's close
// button press Cancel where it is offered and do nothing otherwise.
class CProgressDialog : public QDialog {
public:
    CProgressDialog(QWidget* owner, std::function<void()> cancel)
        : QDialog(owner,
                  Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint),
          m_cancel(std::move(cancel)) {}

    void reject() override { m_cancel(); }

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        m_cancel();
    }

private:
    std::function<void()> m_cancel;
};

} // namespace

CProgressBar::~CProgressBar() {
    if (m_depth > 0)
        Close(false);
}

void CProgressBar::Begin(int steps, int code, bool cancelAllowed) {
    if (m_depth++ == 0)
        Open(steps, ProgressText(code), cancelAllowed);
}

void CProgressBar::BeginText(int steps, const std::string& text, bool cancelAllowed) {
    if (m_depth++ == 0)
        Open(steps, QString::fromStdString(text), cancelAllowed);
}

void CProgressBar::Open(int steps, const QString& text, bool cancelAllowed) {
    m_cancelled = false;
    QWidget* owner = m_windows ? m_windows->TopWindow() : nullptr;
    if (!owner)
        owner = m_owner;
    auto* dialog = new CProgressDialog(owner, [this] {
        if (m_cancel && !m_cancel->isHidden())
            m_cancelled = true;
    });
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setWindowTitle(TavApplicationTitle());
    m_label = new QLabel(text, dialog);
    m_label->setMinimumWidth(260);
    m_bar = new QProgressBar(dialog);
    m_bar->setRange(0, std::max(steps, 1));
    m_bar->setValue(0);
    m_cancel = new QPushButton(QObject::tr("Cancel"), dialog);
    m_cancel->setVisible(cancelAllowed);
    QObject::connect(m_cancel, &QPushButton::clicked, dialog, [this] { m_cancelled = true; });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    dialog->setFixedSize(dialog->sizeHint());
    m_dialog = dialog;

    // The owner is disabled for as long as the dialog is open; the dialog stays enabled.
    if (m_windows) {
        m_windows->Add(dialog, true);
        m_listed = true;
    } else if (owner) {
        owner->setEnabled(false);
        m_disabled = owner;
    }
    if (m_windows && owner)
        m_disabled = owner;
    dialog->setEnabled(true);
    // While the operation pumps the event loop, only the dialog takes input.
    CInputGate::LetThrough(dialog);

    if (owner) {
        const QRect frame = owner->window()->frameGeometry();
        dialog->move(frame.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
    }
    dialog->show();
    WaitUntilShown();
    Repaint();
}

// A window appears only once the window system has mapped it, which takes a round trip to
// the display server; the operation that opened the dialog keeps the event loop from doing
// that, so the dialog waits for it here (at most 200 ms), letting no user input through.
void CProgressBar::WaitUntilShown() {
    QWindow* window = m_dialog ? m_dialog->windowHandle() : nullptr;
    if (!window || window->isExposed())
        return;
    QEventLoop loop;
    QTimer poll;
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!m_dialog || window->isExposed() || ++ticks >= 40)
            loop.quit();
    });
    poll.start(5);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void CProgressBar::Close(bool dropQueuedInput) {
    // Input that came in since the last pump goes while the owner is still disabled, so
    // it cannot reach the owner once it is enabled again. The bar still counts as open
    // meanwhile: a begin from the pump joins it.
    if (dropQueuedInput)
        CInputGate::Pump();
    m_depth = 0;
    if (CInputGate::LetThrough() == m_dialog.data())
        CInputGate::LetThrough(nullptr);
    QDialog* dialog = m_dialog.data();
    if (m_listed && m_windows)
        m_windows->Remove(dialog);
    else if (m_disabled)
        m_disabled->setEnabled(true);
    m_listed = false;
    m_disabled = nullptr;
    m_label = nullptr;
    m_bar = nullptr;
    m_cancel = nullptr;
    delete dialog;
}

void CProgressBar::Finish() {
    if (m_depth == 0)
        return;
    if (--m_depth == 0) {
        m_depth = 1;
        Close(true);
    }
}

void CProgressBar::SetMessage(int code) {
    if (m_depth == 1 && m_dialog)
        m_label->setText(ProgressText(code));
}

void CProgressBar::SetText(const std::string& text) {
    if (m_depth == 1 && m_dialog)
        m_label->setText(QString::fromStdString(text));
}

void CProgressBar::Step() {
    if (m_dialog)
        SetPosition(m_bar->value() + 1);
}

void CProgressBar::SetPosition(int position) {
    if (!m_dialog)
        return;
    m_bar->setValue(std::clamp(position, m_bar->minimum(), m_bar->maximum()));
    Repaint();
}

// Windows repaint and timers run; user input for any window but the dialog is dropped,
// so nothing the user clicked meanwhile starts once the operation is over.
void CProgressBar::Repaint() {
    CInputGate::Pump();
    if (m_dialog && m_dialog->isVisible())
        m_dialog->repaint();
}

bool CProgressBar::Cancelled() {
    if (!m_dialog)
        return false;
    CInputGate::Pump();
    return m_cancelled;
}

void CProgressBar::PressCancel() {
    if (m_dialog && !m_cancel->isHidden())
        m_cancel->click();
}

int CProgressBar::Value() const {
    return m_dialog ? m_bar->value() : -1;
}

int CProgressBar::Maximum() const {
    return m_dialog ? m_bar->maximum() : -1;
}

QString CProgressBar::Text() const {
    return m_dialog ? m_label->text() : QString();
}

bool CProgressBar::HasCancelButton() const {
    return m_dialog && !m_cancel->isHidden();
}
