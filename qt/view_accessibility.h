// What assistive technology learns of the windows beyond what Qt's widgets tell it: each window's
// role (a frame or a dialog, from its View), the pictures a player picks one of as selectable
// items, and the notices.
#pragma once

namespace gombocok {

// A widget that is one of a few choices and carries no text of its own (a spacecraft picture).
class Selectable {
public:
    virtual ~Selectable() = default;
    virtual bool chosen() const = 0;
    // What a click does: chooses it.
    virtual void choose() = 0;
};

// A text that tells the player something when it appears (a level message): announced as a
// notification when it is shown, by its accessible name.
class Notice {
public:
    virtual ~Notice() = default;
};

// Makes Qt ask us first for the views and the selectable pictures; a second call does nothing.
void installViewAccessibility();

}  // namespace gombocok
