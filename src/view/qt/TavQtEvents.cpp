#include "view/qt/TavQtEvents.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <cmath>

uint32_t TavModifiersFromQt(Qt::KeyboardModifiers modifiers) {
    uint32_t bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= kTavShift;
    if (modifiers & Qt::ControlModifier)
        bits |= kTavCtrl;
    return bits;
}

namespace {

struct KeyCode {
    int key;
    int32_t code;
};

// Keys with a code of their own; the PC key codes where the view tree has no mapping.
constexpr KeyCode kKeyCodes[] = {
    {Qt::Key_Home, kTavKeyHome},
    {Qt::Key_Up, kTavKeyUp},
    {Qt::Key_Down, kTavKeyDown},
    {Qt::Key_Left, kTavKeyLeft},
    {Qt::Key_Right, kTavKeyRight},
    {Qt::Key_PageUp, kTavKeyPageUp},
    {Qt::Key_PageDown, kTavKeyPageDown},
    {Qt::Key_End, kTavKeyEnd},
    {Qt::Key_Return, kTavKeyReturn},
    {Qt::Key_Enter, kTavKeyReturn},
    {Qt::Key_Escape, kTavKeyEscape},
    {Qt::Key_Delete, kTavKeyDelete},
    {Qt::Key_Backspace, 0x08},
    {Qt::Key_Tab, 0x09},
    {Qt::Key_Backtab, 0x09},
    {Qt::Key_Clear, 0x0C},
    {Qt::Key_Shift, 0x10},
    {Qt::Key_Control, 0x11},
    {Qt::Key_Alt, 0x12},
    {Qt::Key_Pause, 0x13},
    {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Space, 0x20},
    {Qt::Key_Print, 0x2C},
    {Qt::Key_Insert, 0x2D},
    {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Colon, 0xBA},
    {Qt::Key_Equal, 0xBB},
    {Qt::Key_QuoteLeft, 0xC0},
    {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},
    {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE},
};

// Keys that the numeric keypad has too: {key, on the keypad, elsewhere}.
struct PadCode {
    int key;
    int32_t pad;
    int32_t main;
};

constexpr PadCode kPadCodes[] = {
    {Qt::Key_Plus, kTavKeyPadPlus, 0xBB},
    {Qt::Key_Minus, kTavKeyPadMinus, 0xBD},
    {Qt::Key_Asterisk, kTavKeyPadMultiply, '8'},
    {Qt::Key_Slash, kTavKeyPadDivide, 0xBF},
    {Qt::Key_Period, 0x6E, 0xBE},
    {Qt::Key_Comma, 0x6C, 0xBC},
};

} // namespace

int32_t TavKeyCodeFromQt(int key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = (modifiers & Qt::KeypadModifier) != 0;
    for (const KeyCode& entry : kKeyCodes)
        if (entry.key == key)
            return entry.code;
    for (const PadCode& entry : kPadCodes)
        if (entry.key == key)
            return keypad ? entry.pad : entry.main;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? 0x60 + (key - Qt::Key_0) : key; // keypad digits have codes of their own
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key; // Qt's letter keys are the upper-case characters
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    return 0;
}

bool TavMouseInfoFromQt(const QMouseEvent& event, CTavMouseInfo& info) {
    switch (event.type()) {
    case QEvent::MouseButtonPress:
        info.kind = CTavMouseInfo::kPressed;
        break;
    case QEvent::MouseButtonDblClick:
        info.kind = CTavMouseInfo::kDoubleClick;
        break;
    case QEvent::MouseButtonRelease:
        info.kind = CTavMouseInfo::kReleased;
        break;
    case QEvent::MouseMove:
        info.kind = CTavMouseInfo::kMove;
        break;
    default:
        return false;
    }
    if (info.kind != CTavMouseInfo::kMove && event.button() != Qt::LeftButton)
        return false;
    const QPointF position = event.position();
    info.point = {static_cast<int32_t>(std::floor(position.x())),
                  static_cast<int32_t>(std::floor(position.y()))};
    info.modifiers = TavModifiersFromQt(event.modifiers());
    return true;
}

bool TavKeyInfoFromQt(const QKeyEvent& event, CTavKeyInfo& info) {
    if (event.isAutoRepeat())
        return false;
    if (event.type() == QEvent::KeyPress)
        info.kind = CTavKeyInfo::kDown;
    else if (event.type() == QEvent::KeyRelease)
        info.kind = CTavKeyInfo::kUp;
    else
        return false;
    info.code = TavKeyCodeFromQt(event.key(), event.modifiers());
    if (info.code == 0)
        return false;
    info.modifiers = TavModifiersFromQt(event.modifiers());
    // Alt matters to keys only (Alt+Down opens a combo's list).
    if (event.modifiers() & Qt::AltModifier)
        info.modifiers |= kTavAlt;
    return true;
}
