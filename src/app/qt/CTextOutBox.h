#pragma once
// The message box output: reports, questions and written text shown at once in modal
// message boxes. Only used on the GUI thread.

#include <QMessageBox>
#include <QPointer>

#include "app/CTavTextOut.h"

class QWidget;

class CTextOutBox : public CTavTextOut {
public:
    CTextOutBox() = default;

    // The window that owns the boxes (the top window of the window list); none gives
    // application-modal boxes without a parent.
    void SetOwner(QWidget* owner) { m_owner = owner; }

    void Report(int code) override;
    int Ask(int buttons, int code, int icon) override;

    // The standard buttons and icon of an Ask call's arguments, and the answer code of the
    // button the user chose.
    static QMessageBox::StandardButtons AskButtons(int buttons);
    static QMessageBox::Icon AskIcon(int icon);
    static int AskAnswer(QMessageBox::StandardButton chosen);

protected:
    void Output(const std::string& text) override;
    // Runs the box modally and returns the chosen button. Tests override this to answer
    // without showing anything.
    virtual QMessageBox::StandardButton Exec(QMessageBox& box);

private:
    QMessageBox::StandardButton Show(const QString& text, QMessageBox::StandardButtons buttons,
                                     QMessageBox::Icon icon);

    QPointer<QWidget> m_owner;
};
