#pragma once
// The two boxes that take keys from the keyboard instead of text: the key
// combination of a key command (edtArgTecla) and the activation key
// (edtTeclaAtivacao). Every key down writes its name; typed characters, paste
// and input-method text never reach the box. Tab still moves the focus.
#include <QLineEdit>

#include <cstdint>
#include <functional>

#include "form/KeyCapture.h"

class QKeyEvent;

namespace zel {

// The Windows virtual-key code of a key event: the code the profiles store.
// On X11 the digit row is read from the physical key, so that Shift+1 is
// still the key "1" on ABNT2. 0 for a key without a code of its own.
uint16_t VirtualKeyOfEvent(const QKeyEvent& event);
uint16_t VirtualKeyOfQtKey(int qtKey, bool keypad, quint32 nativeScanCode);

class TKeyCaptureEdit : public QLineEdit {
    Q_OBJECT
public:
    // combination: every key down while a key is held adds "+" and its name
    // (edtArgTecla); otherwise each key down replaces the text (edtTeclaAtivacao).
    TKeyCaptureEdit(bool combination, QWidget* parent = nullptr);

    bool Capturing() const { return capture_.Capturing(); }
    // Runs at every key up, after the capture flag is cleared.
    std::function<void()> OnKeyUp;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool event(QEvent* event) override;

private:
    TKeyCapture capture_;
};

}  // namespace zel
