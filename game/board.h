// The rules of the game window `board`: start-up and new game, the spacecraft's keys, the
// player's shot, the formation, UFO fire, collisions, level change, loss and departure, clock,
// pause and quit. Each handler is named after its control and event.
#pragma once

#include <array>
#include <string>

#include "base/assets.h"
#include "base/forms.h"
#include "base/language.h"
#include "base/shell.h"
#include "base/vars.h"

namespace gombocok {

// Virtual-key codes the spacecraft understands.
namespace vk {
constexpr int space = 32, up = 38, down = 40;
constexpr int A = 65, G = 71, R = 82, V = 86, Y = 89;
}  // namespace vk

class Board;

// One timer of the game window with the handler its tick runs.
struct BoardTimer {
    Timer BoardForm::*timer;
    void (Board::*tick)();
    const char* name;
    std::size_t saved;  // its place in the intervals a pause saves (Vars::idozitok)
};

class Board {
public:
    // The game window's six timers, in the fixed order in which timers due at the same moment
    // fire; each names its place in the intervals a pause saves, an order of its own.
    static const std::array<BoardTimer, 6> timers;

    Board(Vars& vars, BoardForm& form, Shell& shell);

    // Start-up and new game.
    void Form_Load();
    void inic();
    void indit_Click();
    void beallit_Click();

    // A key going down while the window has the keyboard: reaches urhajo_KeyDown only while the
    // spacecraft is enabled and has the focus.
    void keyDown(int keyCode);
    void urhajo_KeyDown(int keyCode);

    // Player shot and UFO hits.
    void loveshez_Timer();
    void talvizsg();

    // Formation, UFO fire, collisions.
    void ellenmozg_Timer();
    void ufoloveshez_Timer();
    void ufotalvizsg();
    void utkvizsg();

    // Level change.
    void szintvalto();

    // Loss, departure, program end.
    void veszit();
    void tavozas();
    [[noreturn]] void programvege();

    // Clock, background, pause and quit.
    void idozit_Timer();
    void hatterhez_Timer();
    void szunet_Click();
    void szuneteles();
    // The game window has left the front: minimised, or another application has the focus. A
    // game in play (Pause enabled, not paused, not quitting, the clock running) pauses exactly
    // as a click on Pause would; a game not begun, paused, over or quitting is left alone.
    void pauseInBackground();
    void kilepes_Click();
    void kilepeshez_Timer();

    // The window's close box: ends the program through the program end.
    void Form_QueryUnload();

private:
    // The wave set-up and speed increases shared by the level change and the wave cheat: the
    // wave of level `szint` is formed anew and every speed grows by one level's increment.
    void formWave();
    void showLevelMessage();
    void fire();
    void destroyUfo(int k);
    void ram(int k);
    // Handles a UFO shot that has hit the spacecraft; returns whether it ran the loss rule.
    bool hitSpacecraft(Line& shot);
    void setUfoPicture(const Asset& picture);
    // Puts the player's shot at the spacecraft's nose: its right edge, level with its middle.
    void shotToNose();
    // Full condition bar, green with "100%" in black, and the damage step of the damage level.
    void repairCondition();
    bool magyar() const { return isMagyar(v.programnyelv); }

    Vars& v;
    BoardForm& f;
    Shell& shell;
};

// The condition bar's width as the percentage caption: at most seven significant digits, no
// trailing zeros, never exponent notation, then "%".
std::string percentText(float width, int teljes);
// The clock caption: minutes and seconds, each at least two digits ("00:05", "125:00").
std::string clockText(int perc, int masodperc);

}  // namespace gombocok
