// A window of the Qt edge: it mirrors its form's controls after every event.
#pragma once

#include <QAccessible>

namespace gombocok {

class View {
public:
    virtual ~View() = default;
    // Brings the widgets in line with the model (visibility, captions, positions, pictures) and
    // schedules a repaint where something changed. Must not call back into the rules.
    virtual void sync() = 0;
    // What assistive technology calls the window: a frame unless it is a dialog.
    virtual QAccessible::Role accessibleRole() const { return QAccessible::Window; }
};

}  // namespace gombocok
