// A game window loaded on the headless host, with shortcuts to drive its handlers.
#pragma once

#include <functional>
#include <string>

#include "game/board.h"
#include "game/splash.h"
#include "program/headless.h"
#include "tests/test_support.h"

namespace gombocok::testing {

struct Game {
    explicit Game(std::uint64_t seed = 1) : platform(dir.path(), seed), host(platform) {
        host.run([&] { host.program.board(); });
        // Known settings whatever the settings file set: tests switch sounds on where they
        // listen for them.
        v().programnyelv = "magyar";
        v().hanghatas = false;
        v().hatterzene = false;
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
    void start() {
        run([](Board& b) { b.indit_Click(); });
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
