// The designs of the three windows: every control with its design-time position, size, content
// and visibility. A form is built in its design state; loading it runs its load handler.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/controls.h"

namespace gombocok {

// The game window `board`.
struct BoardForm {
    BoardForm();

    Window window;  // caption: the game's name, blanks, the maker mark

    // The status panel and its children.
    Frame statusPanel;       // the frame around them, no caption
    Label szazalek;          // condition in per cent, over the condition bar
    Label mundb;             // rounds left, over the ammunition bar
    Shape municio;           // the ammunition bar
    Label conditionCaption;  // names the condition bar
    Label ufosCaption;       // names elldb
    Label timeCaption;       // names ido
    Label elldb;             // UFOs of the wave left
    Label ido;               // elapsed time, mm:ss
    Label levelCaption;      // names szintjelzo
    Label szintjelzo;        // the level
    Shape allapot;           // the condition bar
    Label shotDownCaption;   // names lelott
    Label lelott;            // UFOs shot down
    Label ammoCaption;       // names the ammunition bar
    Shape ammoTrough;        // grey behind the ammunition bar
    Shape conditionTrough;   // grey behind the condition bar

    // The game field and its children.
    Sprite jmezo;       // the field
    Sprite urhajo;      // the spacecraft; takes the keys
    SpriteArray ellen;  // the UFOs: member 0 the template, 1 to 3 made per wave
    Sprite uzabra;      // the picture beside the level message
    Label cheatbox;     // the cheat notice, shown from a cheat key to the next game
    Line lov3;          // the boss's second shot
    Label uzenet;       // the level message, the parting message
    Line lov2;          // a UFO's shot (the firing UFO's, the boss's first)
    Line lov;           // the player's shot
    Sprite jhatter;     // the background, twice the field's width, scrolled

    Button indit;    // Start
    Button kilepes;  // Quit
    Button beallit;  // Options
    Button szunet;   // Pause / Continue

    Timer kilepeshez;   // the spacecraft's departure after Quit
    Timer ufoloveshez;  // the UFO shots' flight
    Timer ellenmozg;    // the formation's step
    Timer hatterhez;    // the background's scroll
    Timer loveshez;     // the player's shot's flight
    Timer idozit;       // the clock, one second

    // The control that has the keyboard focus within this window (nullptr: none of ours).
    const void* focus = nullptr;
    bool hasFocus(const void* control) const { return focus == control; }
};

// The options dialog `opciok`.
struct OpciokForm {
    OpciokForm();

    Window window;                       // its caption is the same in both languages
    TabStrip fules;                      // the three tabs
    Frame egy, ketto, harom;             // the tabs' pages: appearance, sounds, gameplay
    std::array<OptionButton, 2> nyelv;   // language: Hungarian, English
    CheckBox vizeff;                     // visual effects (the level messages)
    std::array<Sprite, 3> uh;            // the three spacecraft types' pictures
    std::array<std::string, 3> uhNames;  // what assistive technology calls each picture
    Label languageCaption;               // names the language buttons
    Shape keret;                         // red frame around the chosen spacecraft
    Label spacecraftCaption;             // names the spacecraft pictures
    CheckBox effektek;                   // sound effects
    CheckBox hzene;                      // background music
    Label soundCaption;                  // heads the sounds page
    TextBox mloszer;                     // initial ammunition, digits only
    Spinner chloszer;                    // steps mloszer by one
    Slider nszcsuszka;                   // damage level 1 to 9
    Label initialAmmoCaption;            // names mloszer
    Label damageCaption;                 // names nszcsuszka
    Button mehet;                        // OK

    // Selects option button k of the language group; the others are deselected first, so the
    // click handler runs once, for k, and only when k was not selected.
    void selectNyelv(int k);
};

// One block copy onto the title picture, with the AND (SRCAND) or OR (SRCPAINT) raster op.
struct Blit {
    enum class Op { srcAnd, srcPaint };
    std::string source;                       // picture of the source control ("design:..." name)
    int x = 0, y = 0, width = 0, height = 0;  // destination, pixels on the title picture
    Op op = Op::srcAnd;
    friend bool operator==(const Blit&, const Blit&) = default;
};

// The title screen `splash`.
struct SplashForm {
    SplashForm();

    Window window;    // borderless; its caption names it to taskbars
    Timer cimscroll;  // scrolls the title and the credit in, moves the sprites
    Timer zeneindit;  // one second: shows the title, starts the jingle, moves on after 18
    Sprite hkep;      // the title picture, the drawing surface
    Sprite ukep;      // the spacecraft sprite, a source only
    Sprite kep;       // the UFO sprite, a source only
    Sprite maszk;     // the UFO sprite's mask
    Sprite umaszk;    // the spacecraft sprite's mask
    Label cim;        // the title: the game's name
    Label szerzo;     // the credit

    // What has been drawn onto `hkep` since it was last cleared back to its own picture.
    std::vector<Blit> hkepDrawing;

    // Window-level state of the title screen, pixel coordinates on the title picture.
    int ufoX = 0, ufoY = 0, urhajoX = 0, urhajoY = 0;
};

}  // namespace gombocok
