// A player for the benchmarks: with the invulnerability cheat on it faces the nearest UFO and
// fires at it, so it climbs through the levels by the game's own rules. Once at the level it
// wants it turns reverse fire on and keeps a shot in the air without clearing the wave.
#pragma once

#include <cmath>
#include <functional>
#include <random>

#include "game/board.h"
#include "program/program.h"

namespace gombocok::bench {

class Bot {
public:
    // `key` delivers a key press to the game window through the host's dispatch point.
    Bot(Program& program, std::function<void(int)> key, unsigned seed = 7)
        : p(program), key(std::move(key)), rng(seed) {}

    // One decision, taken once per 10 ms of play.
    void step(int holdLevel) {
        BoardForm& f = *p.boardIfLoaded();
        const Vars& v = p.vars;
        if (!f.urhajo.enabled) return;
        if (!v.csalas2) key(vk::G);
        if (v.loszer < 20) key(vk::A);
        const bool hold = v.szint >= holdLevel;
        if (hold != v.csalas1) key(vk::V);
        if (!hold && ufoPassed(f, v)) key(vk::Y);
        const Sprite& s = f.urhajo;
        if (hold) {
            // Keep a reverse shot flying (it cannot reach a UFO ahead of the spacecraft) and
            // keep out of the way of the UFO: with its whole height between them once it is
            // near, else sweep the field slowly.
            if (!f.lov.visible) key(vk::space);
            const Sprite& u = f.ellen[0];
            const bool near = u.visible && u.Left < s.Left + s.Width + 3.0f * v.ufoseb;
            if (near) {
                const float room = f.jmezo.Height - s.Height;
                down_ = u.Top + u.Height / 2 < room / 2 + s.Height / 2;
            } else if (++sweep_ % 5 != 0) {
                return;
            } else if (s.Top <= 200) {
                down_ = true;
            } else if (s.Top >= 5000) {
                down_ = false;
            }
            key(down_ ? vk::down : vk::up);
            return;
        }
        if (const Sprite* u = target(f, v)) {
            const float aim = u->Top + u->Height / 2;
            const float middle = s.Top + s.Height / 2;
            const float slack = std::max(20, v.urhajolepes / 2);
            if (middle > aim + slack)
                key(vk::up);
            else if (middle < aim - slack)
                key(vk::down);
            const bool aligned = std::fabs(s.Top + s.Height / 2 - aim) < u->Height / 2;
            const bool spent = !f.lov.visible || f.lov.X1 > u->Left + u->Width;
            if ((aligned && spent) || rng() % 50 == 0) key(vk::space);
        }
    }

private:
    static int lastMember(const Vars& v) { return v.szint < 10 ? v.ufoszam - 1 : 0; }
    static const Sprite* target(BoardForm& f, const Vars& v) {
        const Sprite* best = nullptr;
        for (int k = 0; k <= lastMember(v); ++k) {
            if (!f.ellen.exists(k)) continue;
            const Sprite& u = f.ellen[k];
            if (u.visible && u.Left > 585 && (!best || u.Left < best->Left)) best = &u;
        }
        return best;
    }
    static bool ufoPassed(BoardForm& f, const Vars& v) {
        for (int k = 0; k <= lastMember(v); ++k)
            if (f.ellen.exists(k) && f.ellen[k].visible && f.ellen[k].Left <= 585) return true;
        return false;
    }

    Program& p;
    std::function<void(int)> key;
    std::mt19937 rng;
    bool down_ = true;
    unsigned sweep_ = 0;
};

}  // namespace gombocok::bench
