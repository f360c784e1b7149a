#include "view/qt/CPopupEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>
#include <algorithm>

#include "model/CTavValue.h"
#include "script/CTavTable.h"
#include "script/qt/CTextWriter.h"
#include "script/qt/TavShiftJis.h"
#include "view/CTavControl.h"
#include "view/CTavPopControl.h"
#include "view/qt/CPanelWidget.h"
#include "view/qt/CRootPanel.h"
#include "view/qt/CWindowList.h"

CPopupEdit::CPopupEdit(QWidget* owner, const QRect& screenRect, const QFont& font, const QString& text)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_lineEdit(new QLineEdit(this)) {
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lineEdit);
    m_lineEdit->setFont(font);
    m_lineEdit->setText(text);
    m_lineEdit->selectAll();
    connect(m_lineEdit, &QLineEdit::returnPressed, this, &QDialog::accept);
    // The box covers the text; a text too small for the font gets the line's own height.
    setGeometry(screenRect.x(), screenRect.y(), std::max(screenRect.width(), 16),
                std::max(screenRect.height(), m_lineEdit->sizeHint().height()));
}

bool CPopupEdit::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        m_wasActive = true;
    } else if (event->type() == QEvent::WindowDeactivate && m_wasActive && isVisible() && !m_closing) {
        // Another application took the keyboard: keep what was typed.
        accept();
    }
    return QDialog::event(event);
}

void CPopupEdit::done(int result) {
    m_closing = true;
    QDialog::done(result);
}

bool CPopupEdit::Run(CWindowList* windows, QWidget* owner, const QRect& screenRect, const QFont& font,
                     QString& text, int maxLength) {
    // The box lives on the heap: if its owner window goes while it runs (a panel closed by
    // a value that arrived meanwhile), the owner deletes it and the run ends as cancelled.
    QPointer<CPopupEdit> box = new CPopupEdit(owner, screenRect, font, text);
    box->LineEdit().setMaxLength(std::max(maxLength, 1));
    box->LineEdit().selectAll();
    const CWindowList::CModal modal(windows, box);
    const int result = box->exec();
    if (!box)
        return false;
    const bool confirmed = result == QDialog::Accepted;
    if (confirmed)
        text = box->LineEdit().text();
    delete box.data();
    return confirmed;
}

namespace {

CRootPanel* RootOf(CTavView& view) {
    CTavView* top = &view;
    while (CTavPanel* parent = top->GetParent())
        top = parent;
    return dynamic_cast<CRootPanel*>(top);
}

QFont PanelFont(CRootPanel* root) {
    CPanelWidget* widget = root ? root->Widget() : nullptr;
    return widget ? widget->font() : QApplication::font();
}

// Runs the box for a control and turns what was typed back into bytes: the string table's
// entries are Shift_JIS, so an entry that reads as the typed text is passed on as its own
// bytes (it compares equal); anything else as UTF-8.
bool RunForControl(CRootPanel* root, const QRect& screenRect, const QFont& font, const CTavStringTable* table,
                   int maxLength, std::string& text) {
    CPanelWidget* widget = root ? root->Widget() : nullptr;
    QString typed = TavDecodeShiftJis(text);
    if (!CPopupEdit::Run(root ? &root->Windows().windows : nullptr, widget ? widget->window() : nullptr,
                         screenRect, font, typed, maxLength))
        return false;
    if (table) {
        for (const std::string& entry : table->Elements()) {
            if (TavDecodeShiftJis(entry) == typed) {
                text = entry;
                return true;
            }
        }
    }
    text = typed.toStdString();
    return true;
}

} // namespace

bool TavRunPopupEdit(CTavPopControl& control, const TavRect& screenRect, std::string& text) {
    CRootPanel* root = RootOf(control);
    QFont font = PanelFont(root);
    if (const auto* writer = dynamic_cast<const CTextWriter*>(control.TextWriter()))
        font = writer->Font();
    // A string value holds at most its length; longer text would be cut anyway.
    int maxLength = 32767;
    if (const CTavValue* value = control.GetValue(0); value && value->Kind() == kTavKindString)
        maxLength = std::clamp(value->Size(), 1, maxLength);
    return RunForControl(root,
                         QRect(screenRect.left, screenRect.top, screenRect.Width(), screenRect.Height()),
                         font, control.StringTable(), maxLength, text);
}

bool TavRunPopupEdit(CTavDragControl& control, const TavRect& screenRect, std::string& text) {
    CRootPanel* root = RootOf(control);
    const QFont font = PanelFont(root);
    // One line of the panel's font, centred on the control: a tall slider gets a box, not
    // a column.
    QLineEdit probe;
    probe.setFont(font);
    const int height = probe.sizeHint().height();
    const int top = screenRect.top + (screenRect.Height() - height) / 2;
    return RunForControl(root, QRect(screenRect.left, top, screenRect.Width(), height), font,
                         control.TextTable(), kTypedValueMaxLength, text);
}
