#include "app/HeardPanel.h"

namespace zel {

THeardPanel::THeardPanel(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("lstOuvido"));
    // Part of the page, not a control: no frame, no selection, no focus.
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    // A long sentence takes two lines rather than hide what it caused.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(true);
    setTextElideMode(Qt::ElideMiddle);
    QFont small = font();
    small.setPixelSize(12);
    setFont(small);
    setToolTip(QStringLiteral("O que o reconhecedor ouviu e o que foi feito, o mais recente em cima"));
}

void THeardPanel::Add(const THeardEntry& entry) {
    // "HH:MM:SS" of the entry's "AAAA-MM-DD HH:MM:SS".
    const QString time = QString::fromStdString(entry.Time.size() >= 19 ? entry.Time.substr(11, 8) : entry.Time);
    auto* item = new QListWidgetItem(time + QStringLiteral("  ") + QString::fromStdString(HeardLine(entry)));
    // A rejected sentence did nothing: it is shown, but quieter.
    if (!entry.Accepted) item->setForeground(QColor(230, 170, 110));
    insertItem(0, item);
    while (count() > static_cast<int>(THeardList::kMaxHeard)) delete takeItem(count() - 1);
}

QString THeardPanel::Line(int row) const {
    const QListWidgetItem* i = item(row);
    return i ? i->text() : QString();
}

}  // namespace zel
