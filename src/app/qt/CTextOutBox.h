#pragma once
// The message box output: reports, questions and written text shown at once in modal
// message boxes. Only used on the GUI thread.

#include <QMessageBox>

#include "app/CTavTextOut.h"

class CWindowList;

class CTextOutBox : public CTavTextOut {
public:
    CTextOutBox() = default;

    // The window list: each box is owned by its top window and listed as a modal window
    // while it is shown. None gives boxes without an owner.
    void SetWindowList(CWindowList* windows) { m_windows = windows; }

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

    CWindowList* m_windows = nullptr;
};
