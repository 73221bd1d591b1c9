#include "app/ListeningLight.h"

#include <QPainter>

namespace zel {

TListeningLight::TListeningLight(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("lmpOuvindo"));
    setAttribute(Qt::WA_TranslucentBackground);
    SetState(Off);
}

void TListeningLight::SetState(TState state) {
    state_ = state;
    static const char* const tips[] = {"Reconhecimento desligado", "Ouvindo", "Ouvindo voc\u00ea\u2026"};
    setToolTip(QString::fromUtf8(tips[state]));
    update();
}

void TListeningLight::paintEvent(QPaintEvent*) {
    static const QColor colours[] = {QColor(70, 80, 70), QColor(90, 210, 90), QColor(250, 190, 40)};
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The window's own outline colour around the lamp.
    p.setPen(QPen(QColor(150, 160, 150), 1.5));
    p.setBrush(colours[state_]);
    const qreal d = qMin(width(), height()) - 3;
    p.drawEllipse(QRectF(1.5, 1.5, d, d));
}

}  // namespace zel
