// The one way the Qt windows mirror the text controls of their forms (labels, buttons, check
// boxes and option buttons): a widget is touched only where its control changed since the last
// sync, so a sync that changed nothing costs a comparison per control, and a caption that needs
// more room than its design box is never cut off.
#pragma once

#include <QRect>
#include <optional>
#include <string>

#include "base/controls.h"

class QWidget;

namespace gombocok {

class QtHost;

// What a text widget shows of its control.
struct TextLook {
    std::string caption;
    QRect design;  // the control's box, pixels in its container
    bool visible = true;
    bool enabled = true;
    std::optional<bool> checked;  // check boxes and option buttons
    std::optional<Font> font;     // unset: the window's font
    std::optional<Rgb> colour;    // unset: the style's text colour
    // Set: the box grows to fit its text. Unset: the box stays the design's (buttons).
    bool fitsText = true;
};

TextLook lookOf(const Label& l);
TextLook lookOf(const Button& b);
TextLook lookOf(const CheckBox& c);
TextLook lookOf(const OptionButton& o);

// A picture box's mouse cursor follows its control's cursor file (empty: the default cursor);
// `shown` is the file the widget has, so an unchanged cursor is not loaded again.
void mirrorCursor(QWidget& widget, std::string& shown, const std::string& wanted, QtHost& host);

// Where a box of `design` stands when its contents need `needed`: it keeps its design place and
// size where they suffice; else a centred text grows about its centre, any other to the right,
// no further than the container's edge (`room` pixels wide); a top-aligned text keeps its height
// (it may spill below), any other grows about its middle.
QRect grownBox(const QRect& design, QSize needed, int room, Qt::Alignment alignment);

// One widget (a QLabel or a QAbstractButton) mirroring one control.
class TextMirror {
public:
    explicit TextMirror(QWidget* widget) : widget_(widget) {}
    QWidget* widget() const { return widget_; }
    // Shows `look`; does nothing when it and the container's width are as last shown.
    void show(const TextLook& look);
    // The next `show` sets everything afresh (the form was loaded again).
    void forget() { shown_.reset(); }

private:
    QWidget* widget_;
    std::optional<TextLook> shown_;
    int room_ = 0;
};

}  // namespace gombocok
