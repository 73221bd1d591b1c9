#pragma once
// The form's controls (form/Controls.h) over Qt's widgets. Filling a widget
// from data blocks its signals, so no change handler runs.
#include <QString>

#include <functional>
#include <optional>

#include "form/Controls.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QSlider;
class QStackedWidget;
class QWidget;

namespace zel {

class TMathBotao;
class THeardPanel;
class TListeningLight;

class TQtLabel : public ILabel {
public:
    explicit TQtLabel(QLabel* w) : w_(w) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    void SetText(const std::string& text) override;

private:
    QLabel* w_;
};

class TQtTextBox : public ITextBox {
public:
    explicit TQtTextBox(QLineEdit* w) : w_(w) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    std::string Text() const override;
    void Fill(const std::string& text) override;
    void SetText(const std::string& text) override;
    std::string FileName() const override;
    void FillFileName(const std::string& fileName) override;
    void SetFileName(const std::string& fileName) override;

private:
    void Put(const QString& text, bool notify);
    QLineEdit* w_;
};

class TQtCheckBox : public ICheckBox {
public:
    explicit TQtCheckBox(QCheckBox* w) : w_(w) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    bool Checked() const override;
    void Fill(bool checked) override;
    void SetChecked(bool checked) override;

private:
    QCheckBox* w_;
};

class TQtListBox : public IListBox {
public:
    explicit TQtListBox(QListWidget* w) : w_(w) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    void FillRows(const std::vector<std::string>& rows) override;
    // The selection, not the current row: the list makes its first entry
    // current when it takes the focus, and that is no choice of the user's.
    int32_t Selected() const override;
    void FillSelected(int32_t row) override;

private:
    QListWidget* w_;
};

class TQtRadioGroup : public IRadioGroup {
public:
    TQtRadioGroup(QWidget* box, QButtonGroup* items) : box_(box), items_(items) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    int32_t ItemIndex() const override;
    void FillItemIndex(int32_t index) override;

private:
    QWidget* box_;
    QButtonGroup* items_;
};

class TQtPageBook : public IPageBook {
public:
    explicit TQtPageBook(QStackedWidget* w) : w_(w) {}
    void ShowPage(int32_t index) override;
    int32_t CurrentPage() const override;
    void SetVisible(bool visible) override;

private:
    QStackedWidget* w_;
};

class TQtTrackBar : public ITrackBar {
public:
    explicit TQtTrackBar(QSlider* w) : w_(w) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    int32_t Position() const override;
    void FillPosition(int32_t position) override;

private:
    QSlider* w_;
};

class TQtMemo : public IMemo {
public:
    explicit TQtMemo(QPlainTextEdit* w) : w_(w) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    std::vector<std::string> Lines() const override;
    void FillLines(const std::vector<std::string>& lines) override;

private:
    QPlainTextEdit* w_;
};

class TQtImageButton : public IImageButton {
public:
    explicit TQtImageButton(TMathBotao* w) : w_(w) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    bool Checked() const override;
    void WriteChecked(bool checked) override;

private:
    TMathBotao* w_;
};

class TQtProgressBar : public IProgressBar {
public:
    explicit TQtProgressBar(QProgressBar* w) : w_(w) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    void SetPosition(int32_t position) override;

private:
    QProgressBar* w_;
};

class TQtComboBox : public IComboBox {
public:
    explicit TQtComboBox(QComboBox* w) : w_(w) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;
    void FillItems(const std::vector<TItem>& items, int32_t chosen) override;

private:
    QComboBox* w_;
};

// A panel: enabling it enables each of its controls.
class TQtPanel : public IControl {
public:
    explicit TQtPanel(QWidget* w) : w_(w) {}
    void SetEnabled(bool enabled) override;
    void SetHint(const std::string& hint) override;

private:
    QWidget* w_;
};

class TQtMenuItem : public IMenuItem {
public:
    explicit TQtMenuItem(QAction* a) : a_(a) {}
    bool Checked() const override;
    void SetChecked(bool checked) override;
    void SetEnabled(bool enabled) override;

private:
    QAction* a_;
};

class TQtLamp : public ILamp {
public:
    explicit TQtLamp(TListeningLight* w) : w_(w) {}
    void SetState(TState state) override;

private:
    TListeningLight* w_;
};

class TQtHeardList : public IHeardList {
public:
    explicit TQtHeardList(THeardPanel* w) : w_(w) {}
    void Add(const THeardEntry& entry) override;

private:
    THeardPanel* w_;
};

// A dialog run by the window's way of running dialogs (which tests replace).
class TQtFileDialog : public IFileDialog {
public:
    using TRun = std::function<std::optional<QString>(QFileDialog&)>;
    TQtFileDialog(QFileDialog* d, TRun run) : d_(d), run_(std::move(run)) {}
    std::optional<std::string> Run() override;
    void SetFolder(const std::string& folder) override;

private:
    QFileDialog* d_;
    TRun run_;
};

}  // namespace zel
