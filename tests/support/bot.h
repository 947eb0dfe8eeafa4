// The one player of the game window, through its key handler only, and the invariants every run
// of it checks. The soak and the benchmarks play with it (the benchmarks
// include it from here, as they take their program directory from tests/ too).
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>

#include "game/board.h"
#include "program/program.h"

namespace gombocok::testing {

// What is wrong with the program's state after an event, or "" when it is sound.
inline std::string boardProblem(Program& p) {
    if (p.refusedEvents() != 0) return "an event started inside another";
    if (p.ended() || !p.boardIfLoaded()) return "";
    const BoardForm& f = *p.boardIfLoaded();
    const Vars& v = p.vars;
    if (f.allapot.Width < 0 || f.allapot.Width > v.teljes) return "condition bar";
    if (f.municio.Width < 0 || f.municio.Width > v.teljes) return "ammunition bar";
    if (v.loszer < 0) return "ammunition";
    if (f.szintjelzo.caption != std::to_string(v.szint)) return "level label";
    if (!f.ellen.exists(0)) return "UFO 0 destroyed";
    if (v.urhajolepes < 0) return "spacecraft step";
    return "";
}

class Bot {
public:
    // `key` delivers a key press to the game window through the host's dispatch point.
    Bot(Program& program, std::function<void(int)> key, unsigned seed = 7)
        : p(program), key(std::move(key)), rng(seed) {}

    // One step of play: keep ammunition (and with `repair` the condition bar), call the next wave
    // once one has passed, step aside from a shot about to hit (every other time), else face the
    // nearest UFO ahead and fire at it when lined up.
    void attack(bool repair) {
        BoardForm& f = *p.boardIfLoaded();
        const Vars& v = p.vars;
        if (!f.urhajo.enabled) return;
        if (repair && f.allapot.Width < v.teljes / 2) key(vk::R);
        if (v.loszer < 20) key(vk::A);
        bool passed = false;
        target(&passed);
        if (passed) key(vk::Y);
        const Sprite& s = f.urhajo;
        const Line& shot = f.lov2;
        const bool threatened = shot.visible && shot.X1 < 2600 && shot.X1 > s.Left &&
                                shot.Y1 >= s.Top - 100 && shot.Y1 <= s.Top + s.Height + 100;
        if (threatened && !v.csalas2 && rng() % 2 == 0)
            return key(shot.Y1 < middle() ? vk::down : vk::up);
        if (const Sprite* u = target()) {
            const float aim = u->Top + u->Height / 2;
            steerTo(aim);
            const bool aligned = std::fabs(middle() - aim) < u->Height / 2;
            const bool spent = !f.lov.visible || f.lov.X1 > u->Left + u->Width;
            if ((aligned && spent) || rng() % 50 == 0) key(vk::space);
        }
    }

    // One step of walking into the UFOs' fire.
    void seekFire() {
        BoardForm& f = *p.boardIfLoaded();
        if (!f.urhajo.enabled) return;
        const Line& shot = f.lov2.visible ? f.lov2 : f.lov3;
        if (shot.visible && shot.X1 > f.urhajo.Left)
            steerTo(shot.Y1);
        else if (const Sprite* u = target())
            steerTo(u->Top + u->Height / 2);
    }

    // For the benchmarks: invulnerable, it climbs to `holdLevel`, then turns reverse fire on and
    // keeps a shot in the air (it cannot reach a UFO ahead) while it keeps out of the UFO's way.
    void climbAndHold(int holdLevel) {
        BoardForm& f = *p.boardIfLoaded();
        const Vars& v = p.vars;
        if (!f.urhajo.enabled) return;
        if (!v.csalas2) key(vk::G);
        const bool hold = v.szint >= holdLevel;
        if (hold != v.csalas1) key(vk::V);
        if (!hold) return attack(false);
        if (v.loszer < 20) key(vk::A);
        if (!f.lov.visible) key(vk::space);
        const Sprite& s = f.urhajo;
        const Sprite& u = f.ellen[0];
        if (u.visible && u.Left < s.Left + s.Width + 3.0f * v.ufoseb) {
            down_ = u.Top + u.Height / 2 < (f.jmezo.Height - s.Height) / 2 + s.Height / 2;
        } else if (++sweep_ % 5 != 0) {
            return;
        } else if (s.Top <= 200 || s.Top >= 5000) {
            down_ = s.Top <= 200;
        }
        key(down_ ? vk::down : vk::up);
    }

private:
    float middle() const {
        const Sprite& s = p.boardIfLoaded()->urhajo;
        return s.Top + s.Height / 2;
    }
    // The nearest UFO of the wave ahead of the spacecraft, or null; with `passed`, whether one
    // has got past it.
    const Sprite* target(bool* passed = nullptr) const {
        const BoardForm& f = *p.boardIfLoaded();
        const Sprite* best = nullptr;
        for (int k = 0; k <= (p.vars.szint < 10 ? p.vars.ufoszam - 1 : 0); ++k) {
            if (!f.ellen.exists(k) || !f.ellen[k].visible) continue;
            const Sprite& u = f.ellen[k];
            if (u.Left <= f.urhajo.Left && passed) *passed = true;
            if (u.Left > f.urhajo.Left && (!best || u.Left < best->Left)) best = &u;
        }
        return best;
    }
    void steerTo(float y) {
        const float slack = std::max(20, p.vars.urhajolepes / 2);
        if (middle() > y + slack)
            key(vk::up);
        else if (middle() < y - slack)
            key(vk::down);
    }

    Program& p;
    std::function<void(int)> key;
    bool down_ = true;
    unsigned sweep_ = 0;

public:
    std::mt19937 rng;
};

}  // namespace gombocok::testing
