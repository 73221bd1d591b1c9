#pragma once
// The menu page's list of what was heard: newest sentence on top, each with
// what it caused ("copiar → CTRL+C (87)", "trinta baixo → rejeitado (26)"),
// at most as many as the heard list keeps.
#include <QListWidget>

#include "actions/Heard.h"

namespace zel {

class THeardPanel : public QListWidget {
public:
    explicit THeardPanel(QWidget* parent);
    void Add(const THeardEntry& entry);
    // The row's text as shown: time, two blanks, the heard line.
    QString Line(int row) const;
};

}  // namespace zel
