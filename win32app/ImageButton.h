#pragma once
// TMathBotao on Windows: the skinned image button. Its picture is a strip of
// three looks side by side, each as large as the button: normal, mouse over,
// pressed. A Checked button keeps the pressed look, or shows the looks of a
// second strip when it has one; with ManterClicado every click flips Checked
// (a latched switch). A disabled button shows its resting look greyed.
//
// The click handler runs before the click flips Checked, so it reads Checked
// as it was. A handler that raises stops the click there (Checked does not
// flip): the error is shown in a message box, EAbort silently.
//
// The keyboard reaches it too: Tab gives it the focus (an outline shows it),
// Space or Enter presses it; its window text is its caption, for screen
// readers.
#include <windows.h>

#include <functional>
#include <string>

#include "form/Controls.h"
#include "win32app/Skin.h"

namespace zel {

class TImageButton : public IImageButton {
public:
    // A child window of parent at the given place (already scaled), with the
    // caption as its window text. pageColour fills the see-through pixels of
    // a transparent button.
    TImageButton(HWND parent, int id, const std::wstring& caption, RECT place, const TSkinImage& strip,
                 bool transparent, COLORREF pageColour);
    ~TImageButton() override;
    TImageButton(const TImageButton&) = delete;
    TImageButton& operator=(const TImageButton&) = delete;

    HWND Window() const { return hwnd_; }
    void SetCheckedPicture(const TSkinImage& strip);
    bool ManterClicado = false;
    std::function<void()> OnClick;

    // IImageButton
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    bool Checked() const override { return checked_; }
    void WriteChecked(bool checked) override;

    // The column shown now (0, 1 or 2), for those who watch the button.
    int ShownColumn() const { return column_; }
    // A press without the mouse: the handler, then the flip, as a click does.
    void Press();

    static void Register();

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void Show(int column);
    int RestingColumn() const;
    bool RunClick();

    HWND hwnd_ = nullptr;
    TSkinImage strip_, checkedStrip_;
    bool transparent_;
    COLORREF pageColour_;
    bool checked_ = false;
    int column_ = 0;
    bool hover_ = false;
    bool leftDownInside_ = false;
    bool focusVisible_ = false;
};

}  // namespace zel
