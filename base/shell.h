// What the rules of one window may ask of the program as a whole: the other windows, the
// platform, and the end of the program. `Program` implements it; the rules of game/ and settings/
// reach each other's windows and the program end only through it.
#pragma once

#include "base/forms.h"
#include "base/platform.h"

namespace gombocok {

enum class WindowId { board, opciok, splash };

// Thrown by Shell::endProgram (and so by programvege): the program ends at once and nothing
// after it runs. The dispatch point catches it.
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

    // The program end: silence, then close the options dialog (whose unload saves the
    // settings), the title screen and the game window, and end the program. It does not return,
    // and it does not need the game window, so the settings load can end the program before
    // that window exists.
    [[noreturn]] void programvege() {
        closeForEnd();
        endProgram();
    }

    [[noreturn]] void endProgram() { throw ProgramEnded{}; }

protected:
    // The program end's silence and closing of the windows, before it ends.
    virtual void closeForEnd() = 0;
};

}  // namespace gombocok
