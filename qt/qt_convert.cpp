#include "qt/qt_convert.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cmath>

namespace gombocok {

int px(float twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

QRect pxRect(float left, float top, float width, float height) {
    return {px(left), px(top), px(width), px(height)};
}

QFont controlFont(const Font& f) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(static_cast<int>(std::lround(f.points * 96.0 / 72.0)));
    font.setBold(f.bold);
    return font;
}

void WindowPlacement::apply(QWidget& window, const Window& form) {
    if (placed_ && form.Left == left_ && form.Top == top_) return;
    placed_ = true;
    left_ = form.Left;
    top_ = form.Top;
    if (form.Left == 0 && form.Top == 0) {
        QScreen* s = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
        const QRectF area = s ? QRectF(s->availableGeometry()) : QRectF(window.geometry());
        centre_ = area.center();
    } else {
        centre_ = QPointF(form.Left + form.Width / 2, form.Top + form.Height / 2) / kTwipsPerPixel;
    }
    place(window);
}

void WindowPlacement::framed(QWidget& window) {
    if (placed_ && window.windowHandle() && window.windowHandle()->frameMargins() != margins_)
        place(window);
}

void WindowPlacement::place(QWidget& window) {
    margins_ = window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
    const QSize outer = window.size().grownBy(margins_);
    // move() places the frame's top-left corner.
    window.move(static_cast<int>(std::floor(centre_.x() - outer.width() / 2.0)),
                static_cast<int>(std::floor(centre_.y() - outer.height() / 2.0)));
}

}  // namespace gombocok
