// A game window loaded on the headless host, with shortcuts to drive its handlers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/splash.h"
#include "program/headless.h"
#include "tests/support/test_support.h"

namespace gombocok::testing {

struct Game {
    // A game window, and with `level` a game started and played on to that level.
    explicit Game(int level = 0, std::uint64_t seed = 1)
        : platform(dir.path(), seed), host(platform) {
        host.run([&] { host.program.board(); });
        // Known settings whatever the settings file set: tests switch sounds on where they
        // listen for them.
        v().programnyelv = "magyar";
        v().hanghatas = false;
        v().hatterzene = false;
        if (level > 0) reachLevel(level);
    }

    Board& rules() { return *host.program.boardRules(); }
    BoardForm& f() { return *host.program.boardIfLoaded(); }
    Vars& v() { return host.program.vars; }

    bool run(const std::function<void(Board&)>& handler) {
        return host.run([&] { handler(rules()); });
    }
    void key(int code) {
        host.run([&] { rules().keyDown(code); });
    }
    // Runs one of the window's handlers as its own event.
    void call(void (Board::*handler)()) {
        run([&](Board& b) { (b.*handler)(); });
    }
    void start() { call(&Board::indit_Click); }
    // Puts `shot` so that the next tick of its timer samples (x, y): the player's shot steps
    // right, the UFOs' shots step left.
    void aim(Line& shot, float x, float y) {
        shot.X1 = &shot == &f().lov ? x - v().lovesseb : x + v().lovesseb;
        shot.X2 = shot.X1 + 200;
        shot.Y1 = shot.Y2 = y;
        shot.visible = true;
    }
    void place(int k, float left, float top) {
        f().ellen[k].Left = left;
        f().ellen[k].Top = top;
    }
    std::vector<int> intervals() {
        std::vector<int> all;
        for (auto& t : host.program.timers()) all.push_back(t.timer->interval());
        return all;
    }
    // Start unless started, then clear waves (every UFO out of play) until `level` is reached.
    void reachLevel(int level) {
        if (v().szint == 0) start();
        while (v().szint < level) {
            for (int k = 0; k < f().ellen.capacity(); ++k)
                if (f().ellen.exists(k)) f().ellen[k].visible = false;
            run([](Board& b) { b.szintvalto(); });
        }
    }
    std::string picture(const std::string& name) { return dir.file(name); }

    TempProgramDir dir{"magyar\r\n111\r\n1\r\n200\r\n2\r\n"};
    HeadlessPlatform platform;
    VirtualHost host;
};

}  // namespace gombocok::testing
