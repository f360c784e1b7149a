#pragma once
// The progress bar of long operations: a small window-modal dialog with a bar, shown
// only while an operation runs. It sits in the progress bar slot of the root object.

#include <QPointer>
#include <QProgressDialog>

#include "app/CTavTextOut.h"
#include "view/ITavProgress.h"

class CProgressBar : public CTavTextOut, public ITavProgress {
public:
    explicit CProgressBar(QWidget* owner = nullptr) : m_owner(owner) {}
    ~CProgressBar() override;

    void SetOwner(QWidget* owner) { m_owner = owner; }
    void Start(int steps) override;
    void Step() override;
    void Finish() override;
    int Value() const { return m_dialog ? m_dialog->value() : -1; }
    bool IsRunning() const { return m_dialog != nullptr; }

private:
    QPointer<QWidget> m_owner;
    QPointer<QProgressDialog> m_dialog;
};
