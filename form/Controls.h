#pragma once
// The controls of the window as its handlers see them, whatever draws them:
// Qt on Linux (app/), Win32 on Windows (win32app/). Each interface holds what
// the handlers ask of that kind of control and nothing more. Texts are core
// text (Windows-1252); file names are the system's bytes (see NativePath).
//
// Filling a control from data never runs its change handler (Fill...); a
// change made as the user would make it does (SetText, SetChecked).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "actions/Heard.h"

namespace zel {

class IControl {
public:
    virtual ~IControl() = default;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void SetHint(const std::string& hint) = 0;
};

class ILabel : public IControl {
public:
    virtual void SetText(const std::string& text) = 0;
};

// A single-line text box.
class ITextBox : public IControl {
public:
    virtual std::string Text() const = 0;
    virtual void Fill(const std::string& text) = 0;
    // As if typed: the change handler runs.
    virtual void SetText(const std::string& text) = 0;
    // The text as a file name.
    virtual std::string FileName() const = 0;
    virtual void FillFileName(const std::string& fileName) = 0;
    virtual void SetFileName(const std::string& fileName) = 0;
};

class ICheckBox : public IControl {
public:
    virtual bool Checked() const = 0;
    virtual void Fill(bool checked) = 0;
    virtual void SetChecked(bool checked) = 0;
};

class IListBox : public IControl {
public:
    // Replaces every row.
    virtual void FillRows(const std::vector<std::string>& rows) = 0;
    // The row the user selected; -1 for none.
    virtual int32_t Selected() const = 0;
    virtual void FillSelected(int32_t row) = 0;
};

// A group of choices of which at most one is chosen.
class IRadioGroup : public IControl {
public:
    // -1 when none is chosen.
    virtual int32_t ItemIndex() const = 0;
    virtual void FillItemIndex(int32_t index) = 0;
};

// Pages of which one is shown.
class IPageBook {
public:
    virtual ~IPageBook() = default;
    virtual void ShowPage(int32_t index) = 0;
    virtual int32_t CurrentPage() const = 0;
    virtual void SetVisible(bool visible) = 0;
};

class ITrackBar : public IControl {
public:
    virtual int32_t Position() const = 0;
    virtual void FillPosition(int32_t position) = 0;
};

// A text of several lines.
class IMemo : public IControl {
public:
    virtual std::vector<std::string> Lines() const = 0;
    virtual void FillLines(const std::vector<std::string>& lines) = 0;
};

// The skinned image button (TMathBotao); a latched one is Checked while on.
class IImageButton : public IControl {
public:
    virtual bool Checked() const = 0;
    virtual void WriteChecked(bool checked) = 0;
};

class IProgressBar : public IControl {
public:
    virtual void SetPosition(int32_t position) = 0;
};

// A choice from a list that the program fills (the microphone).
class IComboBox : public IControl {
public:
    struct TItem {
        std::string Text;
        std::string Hint;
    };
    virtual void FillItems(const std::vector<TItem>& items, int32_t chosen) = 0;
};

// A check mark in a menu (the tray menu's "Reconhecer").
// An item of the notification icon's menu.
class IMenuItem {
public:
    virtual ~IMenuItem() = default;
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool checked) = 0;
    virtual void SetEnabled(bool enabled) = 0;
};

// The lamp beside the switch: off, listening, hearing speech.
class ILamp {
public:
    enum TState { Off, Listening, Hearing };
    virtual ~ILamp() = default;
    virtual void SetState(TState state) = 0;
};

// The list of what was heard, newest first.
class IHeardList {
public:
    virtual ~IHeardList() = default;
    virtual void Add(const THeardEntry& entry) = 0;
};

// An open or save dialog with its filter and starting folder.
class IFileDialog {
public:
    virtual ~IFileDialog() = default;
    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<std::string> Run() = 0;
    virtual void SetFolder(const std::string& folder) = 0;
};

}  // namespace zel
