#include "qt/mirror.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSignalBlocker>
#include <algorithm>

#include "qt/qt_convert.h"
#include "qt/qt_host.h"

namespace gombocok {
namespace {

bool sameFont(const std::optional<Font>& a, const std::optional<Font>& b) {
    if (!a || !b) return a.has_value() == b.has_value();
    return a->points == b->points && a->bold == b->bold;
}

// Everything but the check mark, which the player changes on the widget itself.
bool sameLook(const TextLook& a, const TextLook& b) {
    return a.caption == b.caption && a.design == b.design && a.visible == b.visible &&
           a.enabled == b.enabled && sameFont(a.font, b.font) && a.colour == b.colour &&
           a.fitsText == b.fitsText;
}

void setText(QWidget* w, const QString& text) {
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text() != text) l->setText(text);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (b->text() != text) b->setText(text);
    }
}

Qt::Alignment alignmentOf(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->alignment();
    return Qt::AlignLeft | Qt::AlignVCenter;  // a button's text beside its mark
}

void setChecked(QAbstractButton* b, bool on) {
    if (b->isChecked() == on) return;
    const QSignalBlocker block(b);
    // An option button of an exclusive group cannot be cleared on its own, but the form's group
    // may have none selected.
    const bool exclusive = b->autoExclusive();
    if (!on) b->setAutoExclusive(false);
    b->setChecked(on);
    b->setAutoExclusive(exclusive);
}

}  // namespace

TextLook lookOf(const Label& l) {
    TextLook look;
    look.caption = l.caption;
    look.design = pxRect(l);
    look.visible = l.visible;
    look.font = l.font;
    return look;
}

TextLook lookOf(const Button& b) {
    TextLook look;
    look.caption = b.caption;
    look.design = pxRect(b);
    look.visible = b.visible;
    look.enabled = b.enabled;
    look.font = Font{};
    look.fitsText = false;
    return look;
}

TextLook lookOf(const CheckBox& c) {
    TextLook look;
    look.caption = c.caption;
    look.design = pxRect(c);
    look.visible = c.visible;
    look.checked = c.ticked();
    return look;
}

TextLook lookOf(const OptionButton& o) {
    TextLook look;
    look.caption = o.caption;
    look.design = pxRect(o);
    look.visible = o.visible;
    look.checked = o.selected();
    return look;
}

void mirrorCursor(QWidget& widget, std::string& shown, const std::string& wanted, QtHost& host) {
    if (shown == wanted) return;
    shown = wanted;
    if (wanted.empty())
        widget.unsetCursor();
    else
        widget.setCursor(host.cursor(wanted));
}

QRect grownBox(const QRect& design, QSize needed, int room, Qt::Alignment alignment) {
    QRect box = design;
    if (needed.width() > design.width()) {
        if (alignment & Qt::AlignHCenter) {
            box.setWidth(needed.width());
            box.moveLeft(design.x() - (needed.width() - design.width()) / 2);
        } else {
            box.setWidth(std::max(design.width(), std::min(needed.width(), room - design.x())));
        }
    }
    if (needed.height() > design.height() && !(alignment & Qt::AlignTop)) {
        box.setHeight(needed.height());
        box.moveTop(design.y() - (needed.height() - design.height()) / 2);
    }
    return box;
}

void TextMirror::show(const TextLook& look) {
    QWidget* w = widget_;
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && look.checked)
        setChecked(b, *look.checked);
    const int room = w->parentWidget() ? w->parentWidget()->width() : 0;
    if (shown_ && sameLook(*shown_, look) && room == room_) return;
    shown_ = look;
    room_ = room;

    setText(w, qs(look.caption));
    if (look.font) {
        const QFont font = controlFont(*look.font);
        if (w->font() != font) w->setFont(font);
    }
    if (look.colour && w->palette().color(QPalette::WindowText) != qcolor(*look.colour)) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::WindowText, qcolor(*look.colour));
        w->setPalette(pal);
    }
    if (w->isEnabled() != look.enabled) w->setEnabled(look.enabled);
    // Measuring text costs more than the rest of a sync: only a changed control is measured.
    const QRect box =
        look.fitsText ? grownBox(look.design, w->sizeHint(), room, alignmentOf(w)) : look.design;
    if (w->geometry() != box) w->setGeometry(box);
    if (w->isVisibleTo(w->parentWidget()) != look.visible) w->setVisible(look.visible);
}

}  // namespace gombocok
