// Small conversions shared by the Qt windows: twips to pixels, the model's strings, colours and
// fonts to Qt's, and placing a top-level window where its form says.
#pragma once

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPointF>
#include <QRect>
#include <QString>
#include <string>

#include "base/controls.h"

class QWidget;

namespace gombocok {

// Whole pixels, rounded to the nearest: the designs are laid out on the 15-twip pixel grid.
int px(float twips);
QRect pxRect(float left, float top, float width, float height);
template <class Control>
QRect pxRect(const Control& c) {
    return pxRect(c.Left, c.Top, c.Width, c.Height);
}

inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
inline QColor qcolor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// DejaVu Sans (it has ő and ű), sized in pixels like the layout: points at 96 dots per inch.
QFont controlFont(const Font& f);

// Puts a top-level window where its form says, or centred on the screen while the form leaves
// it at 0, 0; moves it again only when the form's position changes. The rules know a window by
// its client area. A window manager's frame grows it on every side, and the window keeps the
// centre the rules gave it: a centred window is centred by its outer size, frame included. The
// frame is known only once the window manager has framed the window, so `framed`, called from
// the window's move events, places it again when the frame turns out other than allowed for.
class WindowPlacement {
public:
    void forget() { placed_ = false; }
    void apply(QWidget& window, const Window& form);
    void framed(QWidget& window);

private:
    void place(QWidget& window);

    bool placed_ = false;
    float left_ = 0, top_ = 0;
    QPointF centre_;    // where the window's centre belongs, screen pixels
    QMargins margins_;  // the frame the last placement allowed for
};

}  // namespace gombocok
