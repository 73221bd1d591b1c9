#pragma once
// TMathBotao: the bitmap button of the window. Its picture is a strip of three
// looks side by side, each as large as the button: normal, mouse over,
// pressed. A Checked button keeps the pressed look; with ManterClicado every
// release of a mouse button over it flips Checked (a latched switch).
//
// The click handler runs before the release is handled, so it reads Checked
// as it was before the release flipped it. A handler that raises stops the
// release there (Checked does not flip): the error goes to ErrorHandler, or
// nowhere for EAbort, the silent stop.
//
// A disabled button shows a fourth look: its resting look dimmed and greyed,
// so that a user sees at a glance that it does nothing now.
//
// The keyboard reaches it too: Tab gives it the focus (an outline shows it),
// Space or Enter presses it; screen readers see a button they can press.
#include <QImage>
#include <QWidget>

#include <exception>
#include <functional>

// EAbort, the silent stop of a handler.
#include "form/ErrorGuard.h"

namespace zel {


class TMathBotao : public QWidget {
    Q_OBJECT
public:
    explicit TMathBotao(QWidget* parent = nullptr);
    ~TMathBotao() override;

    // Loads or replaces the picture (the whole strip); refreshes StripCopy.
    void SetPicture(const QImage& strip);
    const QImage& Picture() const { return picture_; }
    const QImage& StripCopy() const { return stripCopy_; }
    // A second strip whose looks are shown while Checked (a switch whose
    // caption says what the next click does); empty: the one strip for all.
    void SetCheckedPicture(const QImage& strip);

    bool Checked() const { return checked_; }
    // Stores the value and shows column 2 when set, column 0 when clear, even
    // when the value does not change.
    void WriteChecked(bool value);
    bool ManterClicado = false;

    // The colour of the picture's bottom-left pixel is see-through when set.
    void SetTransparent(bool value);
    bool Transparent() const { return transparent_; }
    bool AutoSize = false;

    // The click event. May raise.
    std::function<void()> OnClick;
    // Where an error raised by a click handler is shown.
    static std::function<void(const std::exception&)> ErrorHandler;

    // The column shown now (0, 1 or 2), for those who watch the button.
    int ShownColumn() const { return shownColumn_; }
    // The program is ending from exit() (the display went away): Qt's painting
    // may already be torn down, so looks change without being drawn.
    static void StopDrawing() { drawingStopped_ = true; }

    // A press without the mouse (a key, a shortcut, a screen reader): the
    // click handler, then Checked flips when ManterClicado is set, as a
    // click does. Nothing while the button is disabled or hidden.
    void Press();

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void hideEvent(QHideEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;

private:
    void ShowColumn(int n);
    // The look when nothing is being pressed: 2 while Checked, 1 under the
    // mouse, else 0.
    int RestingColumn() const;
    void RefreshStripCopy();
    // Runs OnClick; false when it raised.
    bool RunClick();

    QImage picture_;    // the displayed picture; a look is copied into its top-left corner
    QImage stripCopy_;  // the unaltered strip, source of every look
    QImage checkedStrip_;  // the looks while Checked, when given
    bool checked_ = false;
    bool transparent_ = false;
    bool leftDownInside_ = false;
    // The focus outline shows once the keyboard is in use: not for the focus
    // that the window's activation or a click brings.
    bool focusVisible_ = false;
    int shownColumn_ = 0;
    static inline bool drawingStopped_ = false;
};

}  // namespace zel
