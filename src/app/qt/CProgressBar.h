#pragma once
// The progress bar of long operations: a small dialog with a title, a text, a bar and a
// Cancel button where the operation allows it, centred on its owner. It sits in the
// progress bar slot of the root object. Begins nest: only the outermost one opens the
// dialog and disables the owner (through the window list when there is one, which also
// makes the dialog the top window), and only the outermost end closes it and gives the
// owner back. Setting the position and asking for Cancel pump the event loop: windows
// repaint and timers run, and user input for any window but the dialog is dropped there
// (CInputGate), so no click made meanwhile runs once the operation is over.

#include <QDialog>
#include <QPointer>
#include <QString>
#include <string>

#include "app/CTavTextOut.h"
#include "view/ITavProgress.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;
class CWindowList;

class CProgressBar : public CTavTextOut, public ITavProgress {
public:
    explicit CProgressBar(QWidget* owner = nullptr) : m_owner(owner) {}
    ~CProgressBar() override;

    // The owner when no window list names one (the main window).
    void SetOwner(QWidget* owner) { m_owner = owner; }
    void SetWindowList(CWindowList* windows) { m_windows = windows; }

    void Start(int steps) override { BeginText(steps, std::string(), false); }
    void Step() override;
    void Finish() override;
    void Begin(int steps, int code, bool cancelAllowed) override;
    void BeginText(int steps, const std::string& text, bool cancelAllowed) override;
    void SetMessage(int code) override;
    void SetText(const std::string& text) override;
    void SetPosition(int position) override;
    bool Cancelled() override;
    // A reported code replaces the text, as SetMessage.
    void Report(int code) override { SetMessage(code); }

    int Value() const;
    int Maximum() const;
    bool IsRunning() const { return m_depth > 0; }
    int Depth() const { return m_depth; }
    QString Text() const;
    bool HasCancelButton() const;
    QDialog* Dialog() const { return m_dialog.data(); }
    // The window disabled while the dialog is open.
    QWidget* Owner() const { return m_disabled.data(); }
    // Presses Cancel, as the user would.
    void PressCancel();

private:
    void Open(int steps, const QString& text, bool cancelAllowed);
    // dropQueuedInput: input that came in since the last pump is dropped before the owner
    // is enabled again.
    void Close(bool dropQueuedInput);
    void Repaint();
    void WaitUntilShown();

    QPointer<QWidget> m_owner;
    CWindowList* m_windows = nullptr;
    QPointer<QDialog> m_dialog;
    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    QPointer<QWidget> m_disabled;
    bool m_listed = false;
    bool m_cancelled = false;
    int m_depth = 0;
};
