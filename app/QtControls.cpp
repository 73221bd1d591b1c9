#include "app/QtControls.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>

#include "app/FormParts.h"
#include "app/HeardPanel.h"
#include "app/ListeningLight.h"
#include "mathImg/MathBotao.h"

namespace zel {

void TQtLabel::SetEnabled(bool enabled) { w_->setEnabled(enabled); }
void TQtLabel::SetHint(const std::string& hint) { w_->setToolTip(Q(hint)); }
void TQtLabel::SetText(const std::string& text) { w_->setText(Q(text)); }

void TQtTextBox::SetEnabled(bool enabled) { w_->setEnabled(enabled); }
void TQtTextBox::SetHint(const std::string& hint) { w_->setToolTip(Q(hint)); }
std::string TQtTextBox::Text() const { return C(w_->text()); }
void TQtTextBox::Put(const QString& text, bool notify) {
    if (notify) {
        w_->setText(text);
        return;
    }
    QSignalBlocker block(w_);
    w_->setText(text);
}
void TQtTextBox::Fill(const std::string& text) { Put(Q(text), false); }
void TQtTextBox::SetText(const std::string& text) { Put(Q(text), true); }
std::string TQtTextBox::FileName() const { return zel::FileName(w_->text()); }
void TQtTextBox::FillFileName(const std::string& fileName) { Put(QFileName(fileName), false); }
void TQtTextBox::SetFileName(const std::string& fileName) { Put(QFileName(fileName), true); }

void TQtCheckBox::SetEnabled(bool enabled) { w_->setEnabled(enabled); }
void TQtCheckBox::SetHint(const std::string& hint) { w_->setToolTip(Q(hint)); }
bool TQtCheckBox::Checked() const { return w_->isChecked(); }
void TQtCheckBox::Fill(bool checked) {
    QSignalBlocker block(w_);
    w_->setChecked(checked);
}
void TQtCheckBox::SetChecked(bool checked) { w_->setChecked(checked); }

void TQtListBox::SetEnabled(bool enabled) { w_->setEnabled(enabled); }
void TQtListBox::SetHint(const std::string& hint) { w_->setToolTip(Q(hint)); }
void TQtListBox::FillRows(const std::vector<std::string>& rows) {
    QSignalBlocker block(w_);
    w_->clear();
    for (const std::string& r : rows) w_->addItem(Q(r));
}
int32_t TQtListBox::Selected() const {
    const QList<QListWidgetItem*> items = w_->selectedItems();
    return items.isEmpty() ? -1 : w_->row(items.first());
}
void TQtListBox::FillSelected(int32_t row) {
    QSignalBlocker block(w_);
    w_->setCurrentRow(row);
}

void TQtRadioGroup::SetEnabled(bool enabled) { box_->setEnabled(enabled); }
void TQtRadioGroup::SetHint(const std::string& hint) { box_->setToolTip(Q(hint)); }
int32_t TQtRadioGroup::ItemIndex() const { return items_->checkedId(); }
void TQtRadioGroup::FillItemIndex(int32_t index) {
    // Checking a button by program is no click: the handler does not run.
    if (QAbstractButton* b = items_->button(index)) {
        b->setChecked(true);
    } else if (QAbstractButton* checked = items_->checkedButton()) {
        items_->setExclusive(false);
        checked->setChecked(false);
        items_->setExclusive(true);
    }
}

void TQtPageBook::ShowPage(int32_t index) { w_->setCurrentIndex(index); }
int32_t TQtPageBook::CurrentPage() const { return w_->currentIndex(); }
void TQtPageBook::SetVisible(bool visible) { w_->setVisible(visible); }

void TQtTrackBar::SetEnabled(bool enabled) { w_->setEnabled(enabled); }
void TQtTrackBar::SetHint(const std::string& hint) { w_->setToolTip(Q(hint)); }
int32_t TQtTrackBar::Position() const { return w_->value(); }
void TQtTrackBar::FillPosition(int32_t position) {
    QSignalBlocker block(w_);
    w_->setValue(position);  // the slider keeps to its range
}

void TQtMemo::SetEnabled(bool enabled) { w_->setEnabled(enabled); }
void TQtMemo::SetHint(const std::string& hint) { w_->setToolTip(Q(hint)); }
std::vector<std::string> TQtMemo::Lines() const {
    std::vector<std::string> lines;
    const QString text = w_->toPlainText();
    if (text.isEmpty()) return lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(C(line));
    return lines;
}
void TQtMemo::FillLines(const std::vector<std::string>& lines) {
    QStringList list;
    for (const auto& l : lines) list << Q(l);
    w_->setPlainText(list.join(QLatin1Char('\n')));
}

void TQtImageButton::SetEnabled(bool enabled) { w_->setEnabled(enabled); }
void TQtImageButton::SetHint(const std::string& hint) { w_->setToolTip(Q(hint)); }
bool TQtImageButton::Checked() const { return w_->Checked(); }
void TQtImageButton::WriteChecked(bool checked) { w_->WriteChecked(checked); }

void TQtProgressBar::SetEnabled(bool enabled) { w_->setEnabled(enabled); }
void TQtProgressBar::SetHint(const std::string& hint) { w_->setToolTip(Q(hint)); }
void TQtProgressBar::SetPosition(int32_t position) { w_->setValue(position); }

void TQtComboBox::SetEnabled(bool enabled) { w_->setEnabled(enabled); }
void TQtComboBox::SetHint(const std::string& hint) { w_->setToolTip(Q(hint)); }
void TQtComboBox::FillItems(const std::vector<TItem>& items, int32_t chosen) {
    QSignalBlocker block(w_);
    w_->clear();
    for (const TItem& item : items) {
        w_->addItem(Q(item.Text));
        if (!item.Hint.empty()) w_->setItemData(w_->count() - 1, Q(item.Hint), Qt::ToolTipRole);
    }
    w_->setCurrentIndex(chosen);
}

void TQtPanel::SetEnabled(bool enabled) {
    w_->setEnabled(enabled);
    for (QObject* child : w_->children())
        if (auto* c = qobject_cast<QWidget*>(child)) c->setEnabled(enabled);
}
void TQtPanel::SetHint(const std::string& hint) { w_->setToolTip(Q(hint)); }

bool TQtMenuItem::Checked() const { return a_->isChecked(); }
void TQtMenuItem::SetChecked(bool checked) { a_->setChecked(checked); }
void TQtMenuItem::SetEnabled(bool enabled) { a_->setEnabled(enabled); }

void TQtLamp::SetState(TState state) {
    w_->SetState(state == Hearing     ? TListeningLight::Hearing
                 : state == Listening ? TListeningLight::Listening
                                      : TListeningLight::Off);
}

void TQtHeardList::Add(const THeardEntry& entry) { w_->Add(entry); }

std::optional<std::string> TQtFileDialog::Run() {
    const std::optional<QString> chosen = run_(*d_);
    if (!chosen) return std::nullopt;
    return zel::FileName(*chosen);
}

void TQtFileDialog::SetFolder(const std::string& folder) { d_->setDirectory(QFileName(folder)); }

}  // namespace zel
