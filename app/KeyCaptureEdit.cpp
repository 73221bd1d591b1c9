#include "app/KeyCaptureEdit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

#include "commands/Cp1252.h"

namespace zel {

uint16_t VirtualKeyOfQtKey(int key, bool keypad, quint32 scan) {
    // X keycodes 10..19 are the digit row (evdev): 1..9, 0.
    if (scan >= 10 && scan <= 19 && !keypad) return static_cast<uint16_t>(scan == 19 ? '0' : '1' + (scan - 10));
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint16_t>(0x60 + (key - Qt::Key_0));
        switch (key) {
        case Qt::Key_Asterisk: return 0x6A;
        case Qt::Key_Plus: return 0x6B;
        case Qt::Key_Minus: return 0x6D;
        case Qt::Key_Period:
        case Qt::Key_Comma: return 0x6E;
        case Qt::Key_Slash: return 0x6F;
        case Qt::Key_Enter: return 0x0D;
        default: break;
        }
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint16_t>(key);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint16_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<uint16_t>(0x70 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return 0x5B;
    case Qt::Key_Super_R: return 0x5C;
    case Qt::Key_Menu: return 0x5D;
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    case Qt::Key_AltGr: return 0xA5;
    // The punctuation keys of ABNT2, by their Windows codes.
    case Qt::Key_Ccedilla: return 0xBA;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 0xBC;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 0xBF;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 0xC1;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 0xC0;
    case Qt::Key_Dead_Acute:
    case Qt::Key_Dead_Grave: return 0xDB;
    case Qt::Key_Dead_Tilde:
    case Qt::Key_Dead_Circumflex: return 0xDE;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 0xDD;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 0xDC;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 0xE2;
    default: return 0;
    }
}

uint16_t VirtualKeyOfEvent(const QKeyEvent& event) {
    return VirtualKeyOfQtKey(event.key(), event.modifiers().testFlag(Qt::KeypadModifier), event.nativeScanCode());
}

TKeyCaptureEdit::TKeyCaptureEdit(bool combination, QWidget* parent) : QLineEdit(parent), capture_(combination) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool TKeyCaptureEdit::event(QEvent* e) {
    // Keys that would be shortcuts elsewhere (Ctrl+C, Alt+letter) are keys here.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() != Qt::Key_Tab && k->key() != Qt::Key_Backtab) {
            e->accept();
            return true;
        }
    }
    return QLineEdit::event(e);
}

void TKeyCaptureEdit::keyPressEvent(QKeyEvent* event) {
    event->accept();
    const std::u16string shown(reinterpret_cast<const char16_t*>(text().utf16()), static_cast<size_t>(text().size()));
    const std::string now = capture_.KeyDown(VirtualKeyOfEvent(*event), Utf16ToCp1252(shown));
    setText(QString::fromStdString(Cp1252ToUtf8(now)));
}

void TKeyCaptureEdit::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    // X11 repeats a held key as release and press pairs; only the presses
    // count, as a keyboard repeats only key downs.
    if (event->isAutoRepeat()) return;
    capture_.KeyUp();
    if (OnKeyUp) OnKeyUp();
}

void TKeyCaptureEdit::inputMethodEvent(QInputMethodEvent* event) {
    event->ignore();
}

}  // namespace zel
