#pragma once
// The in-place edit box of the edit controls, knobs and sliders: a frameless line edit laid over the
// control's text, in its text writer's font, with the current text selected. Enter
// confirms, Escape cancels, and so does nothing else: leaving the box for another
// application confirms what was typed, as in-place editors usually do. While it runs it
// is a modal layer of the window list, so the panels below take no input.

#include <QDialog>
#include <QString>
#include <string>

#include "view/TavViewTypes.h"

class CTavDragControl;
class CTavPopControl;
class CWindowList;
class QFont;
class QLineEdit;

class CPopupEdit : public QDialog {
    Q_OBJECT
public:
    CPopupEdit(QWidget* owner, const QRect& screenRect, const QFont& font, const QString& text);

    QLineEdit& LineEdit() const { return *m_lineEdit; }

    // Runs a box over the rectangle (screen coordinates) until the user confirms or
    // cancels; true with the typed text in text when confirmed. The box is listed in the
    // window list (when there is one) while it runs.
    static bool Run(CWindowList* windows, QWidget* owner, const QRect& screenRect, const QFont& font,
                    QString& text, int maxLength = 32767);

    void done(int result) override;

protected:
    bool event(QEvent* event) override;

private:
    QLineEdit* m_lineEdit;
    bool m_wasActive = false;
    // Set once the box is closing: hiding it deactivates its window, which must not turn
    // an Escape into a confirmation.
    bool m_closing = false;
};

// Runs the box for an edit control over the rectangle, with the control's text writer's
// font and its root panel's window list; true with the typed text (UTF-8, or the string
// table's own entry when the text equals one) when confirmed.
bool TavRunPopupEdit(CTavPopControl& control, const TavRect& screenRect, std::string& text);

// Runs the box for a knob or slider: one line of its panel's font, centred on the
// rectangle, holding at most kTypedValueMaxLength characters; true with the typed text
// (or the string table's own entry) when confirmed.
constexpr int kTypedValueMaxLength = 64;
bool TavRunPopupEdit(CTavDragControl& control, const TavRect& screenRect, std::string& text);
