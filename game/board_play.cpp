// The player's shot and its hits on UFOs, the formation's movement and fire, the UFO shots and
// their hits on the spacecraft, and collisions.
#include <cmath>
#include <string>

#include "game/board.h"
#include "game/rules_common.h"

namespace gombocok {
namespace {

using rules::kBossLevel;
using rules::kRed;
using rules::kShotLength;
using rules::kWhite;

constexpr float kRightMargin = 250;

// A UFO holds a point on its left and top edges but not on its right and bottom edges.
bool ufoContains(const Sprite& u, float x, float y) {
    return x >= u.Left && x < static_cast<float>(u.Left + u.Width) && y >= u.Top &&
           y < static_cast<float>(u.Top + u.Height);
}

// Takes `d` off the condition bar and tells the new width in per cent; a bar no wider than `d`
// is emptied instead. Whether it was.
bool wearCondition(BoardForm& f, double d, int teljes) {
    if (f.allapot.Width > d) {
        f.allapot.Width = static_cast<float>(f.allapot.Width - d);
        f.szazalek.caption = percentText(f.allapot.Width, teljes);
        return false;
    }
    f.allapot.Width = 0;
    f.szazalek.caption = "0%";
    return true;
}

// The spacecraft holds a point on all four of its edges.
bool spacecraftContains(const Sprite& s, float x, float y) {
    return x <= static_cast<float>(s.Left + s.Width) && x >= s.Left && y >= s.Top &&
           y <= static_cast<float>(s.Top + s.Height);
}

// Only the UFO's left edge counts across; it must lie on the spacecraft, its right edge included
// and its left edge excluded.
bool touches(const Sprite& u, const Sprite& s) {
    return u.Left <= static_cast<float>(s.Left + s.Width) && u.Left > s.Left &&
           static_cast<float>(u.Top + u.Height) >= s.Top &&
           u.Top < static_cast<float>(s.Top + s.Height);
}

// Puts a UFO shot in front of the firing UFO: at its left edge, at its vertical middle.
void launch(Line& shot, const Sprite& u) {
    shot.X1 = u.Left - kShotLength;
    shot.X2 = u.Left;
    shot.Y1 = u.Top + u.Height / 2;
    shot.Y2 = shot.Y1;
}

}  // namespace

void Board::loveshez_Timer() {
    Line& lov = f.lov;
    if (!v.csalas1) {
        lov.X1 = lov.X1 + v.lovesseb;
        lov.X2 = lov.X1 + kShotLength;
        // An exact landing only: a shot that steps over the margin flies on out of sight.
        if (static_cast<float>(f.jmezo.Width - kRightMargin) == lov.X2) {
            f.loveshez.setInterval(0);
            lov.visible = false;
        }
    } else {
        lov.X1 = lov.X1 - v.lovesseb;
        lov.X2 = lov.X1 + kShotLength;
        if (lov.X2 < 0) {
            f.loveshez.setInterval(0);
            lov.visible = false;
        }
    }
    talvizsg();
}

void Board::talvizsg() {
    const Line& lov = f.lov;
    if (lov.visible) {
        if (v.szint < kBossLevel) {
            const int last = v.ufoszam - 1;
            for (v.i = 0; v.i <= last; ++v.i) {
                if (f.ellen[v.i].visible && ufoContains(f.ellen[v.i], lov.X1, lov.Y1))
                    destroyUfo(v.i);
            }
        } else if (f.ellen[0].visible && ufoContains(f.ellen[0], lov.X1, lov.Y1)) {
            destroyUfo(0);
        }
    }
    if (v.ufomaradt == 0) {
        f.lov.visible = false;
        f.lov.X1 = -500;
        f.lov.X2 = f.lov.X1 + kShotLength;
        szintvalto();
    }
}

void Board::destroyUfo(int k) {
    f.ellen[k].visible = false;
    v.ufomaradt -= 1;
    v.lelottszam += 1;
    f.lelott.caption = std::to_string(v.lelottszam);
    f.elldb.caption = std::to_string(v.ufomaradt);
}

void Board::ellenmozg_Timer() {
    if (v.szint < kBossLevel) {
        for (v.i = 0; v.i <= v.ufoszam - 1; ++v.i) {
            Sprite& u = f.ellen[v.i];
            if (u.visible) u.Left = u.Left - v.ufoseb;
        }
    } else if (Sprite& u = f.ellen[0]; u.visible) {
        u.Left = u.Left - v.ufoseb;
        const float half = static_cast<float>(v.ufoseb / 2.0);
        if (f.urhajo.Top > u.Top)
            u.Top = u.Top + half;
        else
            u.Top = u.Top - half;
    }

    utkvizsg();

    if (v.szint > 1 && v.szint < kBossLevel && v.ufomaradt > 0) {
        v.lovoufo = static_cast<int>(std::floor(shell.platform().random() * v.ufomaradt));
        const Sprite& u = f.ellen[v.lovoufo];
        if (!u.visible) return;
        f.lov3.visible = false;
        f.lov2.visible = false;
        launch(f.lov2, u);
        f.lov2.visible = true;
        if (v.hanghatas && f.lov2.X1 > 0) shell.platform().playSound(v.hang_ufoloves);
        f.ufoloveshez.setInterval(20);
    } else if (v.szint >= kBossLevel && v.ufomaradt > 0 && f.ellen[0].visible) {
        f.lov2.visible = false;
        launch(f.lov2, f.ellen[0]);
        f.lov2.visible = true;
        f.lov3.visible = false;
        launch(f.lov3, f.ellen[0]);
        f.lov3.visible = true;
        if (v.hanghatas && f.lov2.X1 > 0) shell.platform().playSound(v.hang_ufoloves);
        f.ufoloveshez.setInterval(20);
    }
}

void Board::ufoloveshez_Timer() {
    Line& lov2 = f.lov2;
    Line& lov3 = f.lov3;
    lov2.X1 = lov2.X1 - v.lovesseb;
    lov2.X2 = lov2.X1 + kShotLength;
    if (v.szint > 5) {
        lov2.Y1 = lov2.Y1 + 10 * v.szint;
        lov2.Y2 = lov2.Y2 + 10 * v.szint;
    }
    if (v.szint >= kBossLevel) {
        lov3.X1 = lov3.X1 - v.lovesseb;
        lov3.X2 = lov3.X1 + kShotLength;
        lov3.Y1 = lov3.Y1 - 20 * v.szint;
        lov3.Y2 = lov3.Y2 - 20 * v.szint;
    }
    if (lov2.X2 < 0 && v.szint < kBossLevel) {
        f.ufoloveshez.setInterval(0);
        lov2.visible = false;
    }
    if (lov2.X2 < 0 && lov3.X2 < 0 && v.szint >= kBossLevel) {
        f.ufoloveshez.setInterval(0);
        lov2.visible = false;
        lov3.visible = false;
    }
    ufotalvizsg();
}

void Board::ufotalvizsg() {
    if (v.csalas2) return;
    if (f.lov2.visible && spacecraftContains(f.urhajo, f.lov2.X1, f.lov2.Y1)) {
        // Once a hit has run the loss rule the volley is spent: whatever the answer was, the
        // other shot must not ask again or end the game that has just been decided.
        if (hitSpacecraft(f.lov2)) return;
    }
    if (f.lov3.visible && spacecraftContains(f.urhajo, f.lov3.X1, f.lov3.Y1)) hitSpacecraft(f.lov3);
}

bool Board::hitSpacecraft(Line& shot) {
    shot.visible = false;
    const bool lost = wearCondition(f, static_cast<double>(v.teljes) / v.serules, v.teljes);
    if (lost) {
        if (v.hanghatas) shell.platform().playSound(v.hang_utkozes);
        veszit();
    } else if (f.allapot.Width <= v.teljes / 2.0) {
        f.allapot.fill = kRed;
        f.szazalek.foreColor = kWhite;
    }
    v.urhajolepes -= 1;
    if (v.urhajolepes < 0) v.urhajolepes = 0;
    return lost;
}

void Board::utkvizsg() {
    if (v.csalas2) return;
    if (v.szint < kBossLevel) {
        const int last = v.ufoszam - 1;
        for (v.i = 0; v.i <= last; ++v.i) {
            if (f.ellen[v.i].visible && touches(f.ellen[v.i], f.urhajo)) ram(v.i);
        }
    } else if (f.ellen[0].visible && touches(f.ellen[0], f.urhajo)) {
        ram(0);
    }
}

void Board::ram(int k) {
    f.ellen[k].visible = false;
    v.ufomaradt -= 1;
    wearCondition(f, 2.0 * v.teljes / v.serules, v.teljes);
    if (v.hanghatas) shell.platform().playSound(v.hang_utkozes);
}

}  // namespace gombocok
