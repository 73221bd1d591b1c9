#pragma once
// A lamp beside the big button: dark while recognition is off, green while
// listening, amber while a sentence is being heard (speech began, its result
// is not in yet), so the user sees the program is listening to them.
#include <QWidget>

namespace zel {

class TListeningLight : public QWidget {
public:
    enum TState { Off, Listening, Hearing };
    explicit TListeningLight(QWidget* parent);
    void SetState(TState state);
    TState State() const { return state_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TState state_ = Off;
};

}  // namespace zel
