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

    Window window;

    // Status panel and its children.
    Frame Frame1;
    Label szazalek, mundb;
    Shape municio;
    Label Label1, Label2, Label3;
    Label elldb, ido;
    Label Label4, szintjelzo;
    Shape allapot;
    Label Label5, lelott, Label6;
    Shape Shape2, Shape1;

    // The game field and its children.
    Sprite jmezo;
    Sprite urhajo;
    SpriteArray ellen;
    Sprite uzabra;
    Label cheatbox;
    Line lov3;
    Label uzenet;
    Line lov2;
    Line lov;
    Sprite jhatter;

    Button indit, kilepes, beallit, szunet;

    Timer kilepeshez, ufoloveshez, ellenmozg, hatterhez, loveshez, idozit;

    // The control that has the keyboard focus within this window (nullptr: none of ours).
    const void* focus = nullptr;
    bool hasFocus(const void* control) const { return focus == control; }
};

// The options dialog `opciok`.
struct OpciokForm {
    OpciokForm();

    Window window;
    TabStrip fules;
    Frame egy, ketto, harom;
    std::array<OptionButton, 2> nyelv;
    CheckBox vizeff;
    std::array<Sprite, 3> uh;
    std::array<std::string, 3> uhNames;  // what assistive technology calls each picture
    Label Label5;
    Shape keret;
    Label Label1;
    CheckBox effektek, hzene;
    Label Label2;
    TextBox mloszer;
    Spinner chloszer;
    Slider nszcsuszka;
    Label Label4, Label3;
    Button mehet;

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

    Window window;
    Timer cimscroll, zeneindit;
    Sprite hkep;
    Sprite ukep, kep, maszk, umaszk;
    Label cim, szerzo;

    // What has been drawn onto `hkep` since it was last cleared back to its own picture.
    std::vector<Blit> hkepDrawing;

    // Window-level state of the title screen, pixel coordinates on the title picture.
    int ufoX = 0, ufoY = 0, urhajoX = 0, urhajoY = 0;
};

}  // namespace gombocok
