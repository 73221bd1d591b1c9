#include "mathImg/MathBotao.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "mathImg/MathBotaoAccessible.h"

namespace zel {

std::function<void(const std::exception&)> TMathBotao::ErrorHandler;

namespace {

QRgb DisabledPixel(QRgb rgb) {
    // Grey at a little under half the contrast: white ink becomes a light
    // grey, the dark body stays dark, so the caption remains readable.
    const int v = 48 + qGray(rgb) * 45 / 100;
    return qRgb(v, v, v);
}

}  // namespace

TMathBotao::TMathBotao(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    // Tab only: a mouse click leaves the focus where the user's typing is.
    setFocusPolicy(Qt::TabFocus);
    InstallMathBotaoAccessibility();
}

TMathBotao::~TMathBotao() = default;

void TMathBotao::SetPicture(const QImage& strip) {
    // The displayed picture is a working copy that the looks are written into.
    picture_ = strip.convertToFormat(QImage::Format_RGB32);
    RefreshStripCopy();
    update();
}

void TMathBotao::RefreshStripCopy() {
    if (AutoSize && picture_.width() > 0 && picture_.height() > 0) resize(picture_.size());
    bool covers = !picture_.isNull() && picture_.width() >= width() && picture_.height() >= height();
    setAttribute(Qt::WA_OpaquePaintEvent, !picture_.isNull() && !transparent_ && covers);
    stripCopy_ = picture_.copy();
    shownColumn_ = 0;
}

void TMathBotao::SetTransparent(bool value) {
    transparent_ = value;
    RefreshStripCopy();
    update();
}

void TMathBotao::SetCheckedPicture(const QImage& strip) {
    checkedStrip_ = strip.isNull() ? QImage() : strip.convertToFormat(QImage::Format_RGB32);
    if (checked_) ShowColumn(shownColumn_);
}

void TMathBotao::ShowColumn(int n) {
    shownColumn_ = n;
    if (drawingStopped_) return;
    if (!picture_.isNull()) {
        const int w = width(), h = height();
        const QImage& source = checked_ && !checkedStrip_.isNull() ? checkedStrip_ : stripCopy_;
        QPainter p(&picture_);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), source, QRect(n * w, 0, w, h));
    }
    repaint();
}

void TMathBotao::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Either way the button starts again from its resting look.
    if (event->type() == QEvent::EnabledChange) ShowColumn(checked_ ? 2 : 0);
}

void TMathBotao::WriteChecked(bool value) {
    checked_ = value;
    ShowColumn(checked_ ? 2 : 0);
}

void TMathBotao::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter p(this);
    QImage visible = picture_.copy(0, 0, width(), height());
    // The bitmap's see-through colour is its bottom-left pixel.
    const QRgb key = picture_.height() > 0 ? picture_.pixel(0, picture_.height() - 1) | 0xFF000000u : 0u;
    if (!isEnabled()) {
        // The fourth look: the resting look greyed and dimmed; the
        // see-through colour stays as it is so the outline keeps its shape.
        visible = visible.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < visible.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(visible.scanLine(y));
            for (int x = 0; x < visible.width(); ++x)
                if ((line[x] | 0xFF000000u) != key) line[x] = DisabledPixel(line[x]);
        }
    }
    if (transparent_ && picture_.height() > 0) {
        visible = visible.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < visible.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(visible.scanLine(y));
            for (int x = 0; x < visible.width(); ++x)
                if ((line[x] | 0xFF000000u) == key) line[x] = 0;
        }
    }
    p.drawImage(QPoint(0, 0), visible);
    if (hasFocus() && focusVisible_) {
        // The focus outline: a light line of the window's highlight colour,
        // rounded like the buttons' faces.
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette().color(QPalette::Highlight).lighter(160), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
}

void TMathBotao::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    ShowColumn(checked_ ? 2 : 1);
}

void TMathBotao::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    ShowColumn(checked_ ? 2 : 0);
}

void TMathBotao::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) leftDownInside_ = true;
    event->accept();
    ShowColumn(2);
}

bool TMathBotao::RunClick() {
    if (!OnClick) return true;
    try {
        OnClick();
        return true;
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& e) {
        if (ErrorHandler) ErrorHandler(e);
        return false;
    }
}

void TMathBotao::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    // The click comes first: left button, pressed on the button, released over it.
    if (event->button() == Qt::LeftButton) {
        bool click = leftDownInside_ && rect().contains(event->position().toPoint());
        leftDownInside_ = false;
        if (click) {
            QPointer<TMathBotao> self(this);
            bool completed = RunClick();
            if (!self || !completed) return;
        }
    }
    if (ManterClicado) checked_ = !checked_;
    // A click that hid the button (a page switch) leaves it at rest: it is
    // not under the pointer when it shows again.
    ShowColumn(!isVisible() ? RestingColumn() : ManterClicado && checked_ ? 2 : 1);
}

int TMathBotao::RestingColumn() const {
    if (checked_) return 2;
    return isVisible() && underMouse() ? 1 : 0;
}

void TMathBotao::Press() {
    if (!isEnabled() || !isVisible()) return;
    QPointer<TMathBotao> self(this);
    if (!RunClick() || !self) return;
    if (ManterClicado) checked_ = !checked_;
    ShowColumn(RestingColumn());
}

void TMathBotao::keyPressEvent(QKeyEvent* event) {
    if (!focusVisible_) {
        focusVisible_ = true;
        update();
    }
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        if (!event->isAutoRepeat()) Press();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TMathBotao::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    const Qt::FocusReason r = event->reason();
    focusVisible_ = r != Qt::ActiveWindowFocusReason && r != Qt::MouseFocusReason && r != Qt::PopupFocusReason;
    update();
}

void TMathBotao::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void TMathBotao::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A hidden button gets no leave event: the hover look goes now.
    ShowColumn(RestingColumn());
}

}  // namespace zel
