// What the rules of one window may ask of the program as a whole: the other windows, the
// platform, and the end of the program. `Program` implements it.
#pragma once

#include "base/forms.h"
#include "base/platform.h"

namespace gombocok {

enum class WindowId { board, opciok, splash };

// Thrown by Shell::endProgram: the program ends at once and nothing after it runs. The dispatch
// point catches it.
struct ProgramEnded {};

class Shell {
public:
    virtual ~Shell() = default;
    virtual Platform& platform() = 0;

    // The first touch of a window loads it and runs its load handler.
    virtual BoardForm& board() = 0;
    virtual OpciokForm& opciok() = 0;
    virtual SplashForm& splash() = 0;
    // The title screen if it is loaded, without loading it; nullptr otherwise.
    virtual SplashForm* splashIfLoaded() = 0;

    // Shows the window without blocking (loading it first if needed) and brings it to the
    // front, also when it was shown already; hides it.
    virtual void show(WindowId w) = 0;
    virtual void hide(WindowId w) = 0;
    // Runs the window's unload handler if it is loaded and releases it; the next touch loads it
    // afresh in its design state.
    virtual void unload(WindowId w) = 0;

    [[noreturn]] void endProgram() { throw ProgramEnded{}; }
};

}  // namespace gombocok
