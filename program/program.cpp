#include "program/program.h"

#include <utility>

#include "base/assets.h"
#include "game/board.h"
#include "game/splash.h"
#include "settings/opciok.h"

namespace gombocok {
namespace {

template <class Form, class Rules>
struct Loaded {
    Loaded(Vars& v, Shell& s) : rules(v, form, s) {}
    Form form;
    Rules rules;
};

}  // namespace

struct Program::LoadedBoard : Loaded<BoardForm, Board> {
    using Loaded::Loaded;
};
struct Program::LoadedOpciok : Loaded<OpciokForm, Opciok> {
    using Loaded::Loaded;
};
struct Program::LoadedSplash : Loaded<SplashForm, Splash> {
    using Loaded::Loaded;
};

Program::Program(Platform& platform) : platform_(platform) {}

Program::~Program() = default;

BoardForm* Program::boardIfLoaded() {
    return board_ ? &board_->form : nullptr;
}
OpciokForm* Program::opciokIfLoaded() {
    return opciok_ ? &opciok_->form : nullptr;
}
SplashForm* Program::splashIfLoaded() {
    return splash_ ? &splash_->form : nullptr;
}
Board* Program::boardRules() {
    return board_ ? &board_->rules : nullptr;
}
Opciok* Program::opciokRules() {
    return opciok_ ? &opciok_->rules : nullptr;
}
Splash* Program::splashRules() {
    return splash_ ? &splash_->rules : nullptr;
}

void Program::start() {
    dispatch([this] {
        splash();
        show(WindowId::splash);
    });
}

bool Program::dispatch(const std::function<void()>& event) {
    if (inEvent_ || ended_) {
        if (inEvent_) ++refused_;
        return false;
    }
    struct Guard {
        Program& p;
        ~Guard() {
            p.inEvent_ = false;
            p.retired_.clear();
        }
    };
    inEvent_ = true;
    Guard guard{*this};
    try {
        event();
    } catch (const ProgramEnded&) {
        ended_ = true;
    }
    return true;
}

std::vector<Program::TimerBinding> Program::timers() {
    std::vector<TimerBinding> out;
    out.reserve(8);
    if (board_) {
        BoardForm& f = board_->form;
        Board& r = board_->rules;
        for (const BoardTimer& t : Board::timers)
            out.push_back({&(f.*t.timer), [&r, tick = t.tick] { (r.*tick)(); }, t.name});
    }
    if (splash_) {
        SplashForm& f = splash_->form;
        Splash& r = splash_->rules;
        out.push_back({&f.cimscroll, [&r] { r.cimscroll_Timer(); }, "cimscroll"});
        out.push_back({&f.zeneindit, [&r] { r.zeneindit_Timer(); }, "zeneindit"});
    }
    return out;
}

BoardForm& Program::board() {
    if (!board_) {
        board_ = std::make_unique<LoadedBoard>(vars, *this);
        board_->rules.Form_Load();
    }
    return board_->form;
}

OpciokForm& Program::opciok() {
    if (!opciok_) {
        opciok_ = std::make_unique<LoadedOpciok>(vars, *this);
        opciok_->rules.Form_Load();
    }
    return opciok_->form;
}

SplashForm& Program::splash() {
    if (!splash_) {
        splash_ = std::make_unique<LoadedSplash>(vars, *this);
        splash_->rules.Form_Load();
    }
    return splash_->form;
}

Window* Program::windowIfLoaded(WindowId w) {
    switch (w) {
        case WindowId::board:
            return board_ ? &board_->form.window : nullptr;
        case WindowId::opciok:
            return opciok_ ? &opciok_->form.window : nullptr;
        case WindowId::splash:
            return splash_ ? &splash_->form.window : nullptr;
    }
    return nullptr;
}

void Program::show(WindowId w) {
    switch (w) {
        case WindowId::board:
            board();
            break;
        case WindowId::opciok:
            opciok();
            break;
        case WindowId::splash:
            splash();
            break;
    }
    Window* win = windowIfLoaded(w);
    win->visible = true;
    ++win->shows;
}

void Program::hide(WindowId w) {
    if (Window* win = windowIfLoaded(w)) win->visible = false;
}

void Program::unload(WindowId w) {
    switch (w) {
        case WindowId::board:
            if (board_) retired_.push_back(std::shared_ptr<LoadedBoard>(std::move(board_)));
            break;
        case WindowId::opciok:
            if (opciok_) {
                opciok_->rules.Form_Unload();
                retired_.push_back(std::shared_ptr<LoadedOpciok>(std::move(opciok_)));
            }
            break;
        case WindowId::splash:
            if (splash_) retired_.push_back(std::shared_ptr<LoadedSplash>(std::move(splash_)));
            break;
    }
}

void Program::closeForEnd() {
    vars.hang_zene = programFile(platform_, assets::csend.file);
    platform_.playSound(vars.hang_zene);
    unload(WindowId::opciok);
    unload(WindowId::splash);
    unload(WindowId::board);
}

}  // namespace gombocok
