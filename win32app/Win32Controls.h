#pragma once
// The form's controls (form/Controls.h) over Windows' own controls. A
// control's change notification (EN_CHANGE, BN_CLICKED, LBN_SELCHANGE...)
// reaches the window, which runs the control's OnChange; while a control is
// filled from data (Fill...) no OnChange runs.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "form/Controls.h"
#include "form/KeyCapture.h"
#include "platform/Desktop.h"

namespace zel {

// True while a control is being filled: the window drops the notifications.
bool Filling();

class TWin32Control {
public:
    explicit TWin32Control(HWND hwnd) : hwnd_(hwnd) {}
    HWND Window() const { return hwnd_; }
    // The change handler, run through the window's guard.
    std::function<void()> OnChange;

protected:
    HWND hwnd_;
};

class TWin32Label : public ILabel, public TWin32Control {
public:
    using TWin32Control::TWin32Control;
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    void SetText(const std::string& text) override;
};

class TWin32TextBox : public ITextBox, public TWin32Control {
public:
    using TWin32Control::TWin32Control;
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    std::string Text() const override;
    void Fill(const std::string& text) override;
    void SetText(const std::string& text) override;
    std::string FileName() const override;
    void FillFileName(const std::string& fileName) override;
    void SetFileName(const std::string& fileName) override;
};

// An edit box that takes keys instead of text (see form/KeyCapture.h).
class TWin32KeyCaptureBox : public TWin32TextBox {
public:
    TWin32KeyCaptureBox(HWND hwnd, bool combination);
    ~TWin32KeyCaptureBox();
    bool Capturing() const { return capture_.Capturing(); }
    // Runs at every key up, after the capture has ended.
    std::function<void()> OnKeyUp;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    TKeyCapture capture_;
};

class TWin32CheckBox : public ICheckBox, public TWin32Control {
public:
    using TWin32Control::TWin32Control;
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    bool Checked() const override;
    void Fill(bool checked) override;
    void SetChecked(bool checked) override;
};

class TWin32ListBox : public IListBox, public TWin32Control {
public:
    using TWin32Control::TWin32Control;
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    void FillRows(const std::vector<std::string>& rows) override;
    int32_t Selected() const override;
    void FillSelected(int32_t row) override;
};

// Radio buttons; OnChange runs when the user chooses one.
class TWin32RadioGroup : public IRadioGroup {
public:
    TWin32RadioGroup(HWND box, std::vector<HWND> items) : box_(box), items_(std::move(items)) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    int32_t ItemIndex() const override;
    void FillItemIndex(int32_t index) override;
    std::function<void()> OnChange;
    const std::vector<HWND>& Items() const { return items_; }

private:
    HWND box_;
    std::vector<HWND> items_;
};

// Child windows of which one is shown.
class TWin32PageBook : public IPageBook {
public:
    TWin32PageBook(HWND book, std::vector<HWND> pages) : book_(book), pages_(std::move(pages)) {}
    void ShowPage(int32_t index) override;
    int32_t CurrentPage() const override { return current_; }
    void SetVisible(bool visible) override;
    HWND Page(int32_t index) const { return pages_.at(static_cast<size_t>(index)); }

private:
    HWND book_;
    std::vector<HWND> pages_;
    int32_t current_ = -1;
};

class TWin32TrackBar : public ITrackBar, public TWin32Control {
public:
    using TWin32Control::TWin32Control;
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    int32_t Position() const override;
    void FillPosition(int32_t position) override;
};

class TWin32Memo : public IMemo, public TWin32Control {
public:
    using TWin32Control::TWin32Control;
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    std::vector<std::string> Lines() const override;
    void FillLines(const std::vector<std::string>& lines) override;
};

class TWin32ProgressBar : public IProgressBar, public TWin32Control {
public:
    using TWin32Control::TWin32Control;
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    void SetPosition(int32_t position) override;
};

class TWin32ComboBox : public IComboBox, public TWin32Control {
public:
    using TWin32Control::TWin32Control;
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    void FillItems(const std::vector<TItem>& items, int32_t chosen) override;
    int32_t Chosen() const;
};

// A panel: enabling it enables each of its controls.
class TWin32Panel : public IControl, public TWin32Control {
public:
    using TWin32Control::TWin32Control;
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
};

class TWin32MenuItem : public IMenuItem {
public:
    TWin32MenuItem(HMENU menu, UINT id) : menu_(menu), id_(id) {}
    bool Checked() const override;
    void SetChecked(bool checked) override;
    void SetEnabled(bool enabled) override;

private:
    HMENU menu_;
    UINT id_;
};

// The lamp beside the switch, a small window of its own class.
class TWin32Lamp : public ILamp, public TWin32Control {
public:
    using TWin32Control::TWin32Control;
    void SetState(TState state) override;
    TState State() const { return state_; }
    static void Register();

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    TState state_ = Off;
};

// The heard list: an owner-drawn list box, newest first, rejections quieter.
class TWin32HeardList : public IHeardList, public TWin32Control {
public:
    using TWin32Control::TWin32Control;
    void Add(const THeardEntry& entry) override;
    // WM_DRAWITEM of the list.
    void Draw(const DRAWITEMSTRUCT& item) const;
};

class TWin32FileDialog : public IFileDialog {
public:
    // filter: "description|patterns|description|patterns", patterns joined by ";".
    TWin32FileDialog(HWND owner, bool save, const std::string& filter, const wchar_t* defaultExtension = nullptr);
    std::optional<std::string> Run() override;
    void SetFolder(const std::string& folder) override { folder_ = folder; }

private:
    HWND owner_;
    bool save_;
    std::wstring filter_;
    const wchar_t* extension_;
    std::string folder_;
};

// A window timer (SetTimer); the window runs OnTick at WM_TIMER of its id.
class TWin32Timer : public ITimer {
public:
    TWin32Timer(HWND window, UINT_PTR id) : window_(window), id_(id) {}
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return enabled_; }
    void SetInterval(int32_t milliseconds) override;
    int32_t Interval() const override { return interval_; }
    UINT_PTR Id() const { return id_; }
    std::function<void()> OnTick;

private:
    HWND window_;
    UINT_PTR id_;
    bool enabled_ = false;
    int32_t interval_ = 1000;
};

}  // namespace zel
