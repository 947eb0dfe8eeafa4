#include "ui/qt/qt_convert.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
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
        if (s) window.move(s->availableGeometry().center() - window.rect().center());
    } else {
        window.move(px(form.Left), px(form.Top));
    }
}

}  // namespace gombocok
