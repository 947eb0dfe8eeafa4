// Start-up and new game, the spacecraft's keys, the level change, loss and departure, clock,
// pause and quit. The shots, the formation and the collisions are in board_play.cpp.
#include "game/board.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/bars.h"
#include "base/catalogue.h"
#include "game/rules_common.h"

namespace gombocok {
namespace {

using rules::kBlack;
using rules::kBossLevel;
using rules::kGreen;
using rules::kShotLength;

// The first wave's column and every wave's right-hand place.
constexpr float kUfoLeft = 6240;
constexpr float kUfoLeftShifted = 5505;
constexpr float kTopEven = 45;
constexpr float kTopOdd = 900;

std::string twoDigits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

}  // namespace

std::string clockText(int perc, int masodperc) {
    return twoDigits(perc) + ":" + twoDigits(masodperc);
}

std::string percentText(float width, int teljes) {
    const float value = static_cast<float>(static_cast<float>(width * 100.0f) / teljes);
    if (value == 0 || !std::isfinite(value)) return "0%";
    // Round to seven significant digits first, then write the rounded number in fixed notation
    // with just enough decimals.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6e", static_cast<double>(value));
    const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
    const int decimals = exponent >= 6 ? 0 : 6 - exponent;
    std::snprintf(buf, sizeof buf, "%.*f", decimals, std::strtod(buf, nullptr));
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s + "%";
}

const std::array<BoardTimer, 6> Board::timers{{
    {&BoardForm::kilepeshez, &Board::kilepeshez_Timer, "kilepeshez", 3},
    {&BoardForm::ufoloveshez, &Board::ufoloveshez_Timer, "ufoloveshez", 4},
    {&BoardForm::ellenmozg, &Board::ellenmozg_Timer, "ellenmozg", 5},
    {&BoardForm::hatterhez, &Board::hatterhez_Timer, "hatterhez", 2},
    {&BoardForm::loveshez, &Board::loveshez_Timer, "loveshez", 1},
    {&BoardForm::idozit, &Board::idozit_Timer, "idozit", 0},
}};

Board::Board(Vars& vars, BoardForm& form, Shell& shell) : v(vars), f(form), shell(shell) {}

void Board::Form_Load() {
    Platform& p = shell.platform();
    const ScreenSize screen = p.screenSize();
    f.window.Left = (screen.width - f.window.Width) / 2;
    f.window.Top = (screen.height - f.window.Height) / 2;

    OpciokForm& opciok = shell.opciok();
    v.hanghatas = opciok.effektek.ticked();
    v.hatterzene = opciok.hzene.ticked();

    v.hang_loves = programFile(p, assets::uloves.file);
    v.hang_ufoloves = programFile(p, assets::ufoloves.file);
    v.hang_utkozes = programFile(p, assets::utkozes.file);
    v.hang_tavozas = programFile(p, assets::tavozas.file);
    v.hang_zene = programFile(p, assets::urzaj.file);

    p.randomize();
    v.serulesszint = 1;
    inic();

    shotToNose();

    f.lov.visible = false;
    f.lov2.visible = false;
    f.lov3.visible = false;

    v.ufomaradt = 0;
    v.kilepes_jelzo = false;
    f.elldb.caption = std::to_string(v.ufomaradt);
    f.szintjelzo.caption = std::to_string(v.szint);
}

void Board::inic() {
    v.perc = 0;
    v.masodperc = 0;
    f.ido.caption = clockText(v.perc, v.masodperc);
    v.lelottszam = 0;
    v.urhajolepes = 50;
    v.lovesseb = 300;
    v.ufoseb = 0;
    v.urhajohatar = 10;
    v.szint = 0;
    v.loszer = 200;
    v.csalas2 = false;
    v.csalas1 = false;
    f.lov3.visible = false;
    f.cheatbox.visible = false;
    v.teljes = 1440;
    repairCondition();
    f.mundb.caption = std::to_string(v.loszer);
    f.municio.Width = static_cast<float>(v.teljes);
    f.lelott.caption = std::to_string(v.lelottszam);
    setUfoPicture(assets::ufo[0]);
    f.uzenet.caption.clear();
}

void Board::shotToNose() {
    f.lov.X1 = f.urhajo.Left + f.urhajo.Width;
    f.lov.X2 = f.lov.X1 + kShotLength;
    f.lov.Y1 = f.urhajo.Top + f.urhajo.Height / 2;
    f.lov.Y2 = f.lov.Y1;
}

void Board::repairCondition() {
    v.serules = 10 / v.serulesszint;
    f.allapot.Width = static_cast<float>(v.teljes);
    f.allapot.fill = kGreen;
    f.szazalek.caption = "100%";
    f.szazalek.foreColor = kBlack;
}

void Board::setUfoPicture(const Asset& picture) {
    const std::string path = programFile(shell.platform(), picture.file);
    shell.platform().loadPicture(path);
    f.ellen[0].picture = path;
}

void Board::indit_Click() {
    v.ufoszam = 4;
    v.ufomaradt = v.ufoszam;
    f.elldb.caption = std::to_string(v.ufomaradt);
    f.urhajo.enabled = true;
    f.hatterhez.setInterval(100);
    f.ellen[0].visible = true;
    v.szint += 1;
    f.szintjelzo.caption = std::to_string(v.szint);
    v.ufoseb += 10 * v.szint;
    f.ellenmozg.setInterval(1000 - v.ufoseb);
    for (v.i = 1; v.i <= v.ufoszam - 1; ++v.i) {
        f.ellen.create(v.i);
        f.ellen[v.i].Top = f.ellen[v.i - 1].Top + 2 * f.ellen[0].Height;
        f.ellen[v.i].visible = true;
    }
    f.idozit.setInterval(1000);
    f.indit.enabled = false;
    f.beallit.enabled = false;
    f.kilepes.enabled = true;
    f.szunet.enabled = true;
    if (v.hatterzene) shell.platform().playSound(v.hang_zene);
    f.focus = &f.urhajo;
}

void Board::beallit_Click() {
    if (v.hatterzene) {
        v.hang_zene = programFile(shell.platform(), assets::beallit.file);
        shell.platform().playSound(v.hang_zene);
    }
    shell.show(WindowId::opciok);
}

void Board::keyDown(int keyCode) {
    if (f.urhajo.enabled && f.hasFocus(&f.urhajo)) urhajo_KeyDown(keyCode);
}

void Board::urhajo_KeyDown(int keyCode) {
    switch (keyCode) {
        case vk::space:
            fire();
            break;
        case vk::up:
            if (f.urhajo.Top > v.urhajohatar) f.urhajo.Top = f.urhajo.Top - v.urhajolepes;
            break;
        case vk::down:
            if (f.urhajo.Top < (f.jmezo.Height - f.urhajo.Height) - v.urhajohatar)
                f.urhajo.Top = f.urhajo.Top + v.urhajolepes;
            break;
        case vk::A:
            f.cheatbox.visible = true;
            v.loszer = 200;
            f.mundb.caption = std::to_string(v.loszer);
            f.municio.Width = static_cast<float>(v.teljes);
            break;
        case vk::G:
            f.cheatbox.visible = true;
            v.csalas2 = true;
            break;
        case vk::R:
            f.cheatbox.visible = true;
            repairCondition();
            break;
        case vk::V:
            f.cheatbox.visible = true;
            v.csalas1 = !v.csalas1;
            break;
        case vk::Y:
            f.cheatbox.visible = true;
            formWave();
            break;
        default:
            break;
    }
}

void Board::fire() {
    if (v.loszer <= 0) return;
    f.lov.visible = false;
    shotToNose();
    f.lov.visible = true;
    v.loszer = static_cast<std::int16_t>(v.loszer - 1);
    f.mundb.caption = std::to_string(v.loszer);
    f.municio.Width = ammunitionBarAfterStep(f.municio.Width, v.teljes, v.loszer);
    if (v.hanghatas) shell.platform().playSound(v.hang_loves);
    f.loveshez.setInterval(10);
}

void Board::szintvalto() {
    v.szint += 1;
    v.urhajohatar += 5;
    f.szintjelzo.caption = std::to_string(v.szint);
    formWave();
    showLevelMessage();
}

void Board::formWave() {
    const int n = v.szint;
    if (n < kBossLevel)
        for (v.i = 1; v.i <= v.ufoszam - 1; ++v.i) f.ellen.destroy(v.i);

    // Every test that holds loads its picture, so the last one wins.
    if (n >= 3) setUfoPicture(assets::ufo[1]);
    if (n >= 5) setUfoPicture(assets::ufo[2]);
    if (n >= 7) setUfoPicture(assets::ufo[3]);
    if (n >= 9) setUfoPicture(assets::ufo[4]);
    if (n >= 11) setUfoPicture(assets::ufo[5]);

    Sprite& first = f.ellen[0];
    first.Top = n % 2 == 0 ? kTopEven : kTopOdd;
    first.Left = kUfoLeft;
    first.visible = true;

    if (n < kBossLevel) {
        for (v.i = 1; v.i <= v.ufoszam - 1; ++v.i) {
            f.ellen.create(v.i);
            Sprite& u = f.ellen[v.i];
            u.Top = f.ellen[v.i - 1].Top + 2 * f.ellen[0].Height;
            if (n % 4 != 0)
                u.Left = kUfoLeft;
            else if (v.i == 1 || v.i == 3)
                u.Left = kUfoLeftShifted;
            u.visible = true;
        }
        v.ufomaradt = v.ufoszam;
    } else {
        v.ufomaradt = 1;
    }
    f.elldb.caption = std::to_string(v.ufomaradt);

    v.ufoseb += 10 * n;
    if (v.ufoseb < 1000) f.ellenmozg.setInterval(1000 - v.ufoseb);
    v.lovesseb += 10 * n;
    if (n < 16)
        v.urhajolepes += 5 * n;
    else
        v.urhajolepes = 100;
}

void Board::showLevelMessage() {
    if (!shell.opciok().vizeff.ticked()) {
        f.uzabra.visible = false;
        f.uzenet.caption.clear();
        return;
    }
    if (v.szint > 12) return;
    // The even levels from 2 have a message, as far as the catalogue has one.
    const std::size_t k = v.szint % 2 == 0 ? static_cast<std::size_t>(v.szint / 2) : 0;
    const std::string_view message = k < text::levelMessages.size()
                                         ? text::levelMessages[k].in(namesHungarian(v.programnyelv))
                                         : "";
    f.uzenet.caption = message;
    f.uzabra.visible = !message.empty();
}

void Board::veszit() {
    f.urhajo.enabled = false;
    const bool hu = magyar();
    const MsgAnswer answer = shell.platform().messageBox(
        std::string(text::lossQuestion.in(hu)), std::string(text::gameName.in(hu)),
        MsgIcon::exclamation, MsgButtons::yesNo,
        hu ? MsgLanguage::hungarian : MsgLanguage::english);
    if (answer == MsgAnswer::yes) {
        inic();
        szintvalto();
        f.urhajo.enabled = true;
        f.focus = &f.urhajo;
    } else {
        f.ufoloveshez.setInterval(0);
        f.hatterhez.setInterval(0);
        f.idozit.setInterval(0);
        f.lov2.visible = false;
        tavozas();
        f.uzenet.caption = text::partingMessage.in(magyar());
        f.uzabra.visible = true;
    }
}

void Board::tavozas() {
    if (v.hanghatas) {
        v.hang_zene = programFile(shell.platform(), assets::csend.file);
        shell.platform().playSound(v.hang_zene);
        shell.platform().playSound(v.hang_tavozas);
    }
    const float edge = f.jmezo.Width;
    for (v.i = 0; v.i <= v.ufoszam - 1; ++v.i) {
        Sprite& u = f.ellen[v.i];
        if (!u.visible) continue;
        while (u.Left < edge) {
            const float left = u.Left + v.ufoseb;
            if (!(left > u.Left)) {
                // A step that cannot move the UFO (no speed, or lost in the float's precision)
                // would never end: take the rest of the diagonal in one stride.
                const float rest = edge - u.Left;
                u.Left = edge;
                u.Top = u.Top + rest;
                break;
            }
            u.Left = left;
            u.Top = u.Top + v.ufoseb;
        }
    }
    f.ellenmozg.setInterval(0);
}

void Board::programvege() {
    shell.programvege();
}

void Board::idozit_Timer() {
    v.masodperc += 1;
    if (v.masodperc == 60) {
        v.masodperc = 0;
        v.perc += 1;
    }
    f.ido.caption = clockText(v.perc, v.masodperc);
}

void Board::hatterhez_Timer() {
    f.jhatter.Left = f.jhatter.Left - 100;
    if (f.jhatter.Left < -7000) f.jhatter.Left = 0;
}

void Board::szunet_Click() {
    // A click (or the key that pressed it) gives the button the keyboard.
    f.focus = &f.szunet;
    const std::string_view pauseWord = text::pauseButton.in(magyar());
    const std::string_view continueWord = text::continueButton.in(magyar());
    if (f.szunet.caption != continueWord) {
        f.szunet.caption = continueWord;
        v.szunetel = true;
    } else {
        f.szunet.caption = pauseWord;
        v.szunetel = false;
    }
    szuneteles();
}

void Board::pauseInBackground() {
    if (!f.szunet.enabled || v.szunetel || v.kilepes_folyik || f.idozit.interval() == 0) return;
    szunet_Click();
}

// The six timers are read, stopped and restored in the order of idozitok.
void Board::szuneteles() {
    std::array<Timer*, 6> inSavedOrder{};
    for (const BoardTimer& t : timers) inSavedOrder.at(t.saved) = &(f.*t.timer);
    if (v.szunetel) {
        for (std::size_t k = 0; k < inSavedOrder.size(); ++k)
            v.idozitok[k] = static_cast<std::int16_t>(inSavedOrder[k]->interval());
        for (Timer* t : inSavedOrder) t->setInterval(0);
    } else {
        for (std::size_t k = 0; k < inSavedOrder.size(); ++k)
            inSavedOrder[k]->setInterval(v.idozitok[k]);
        f.focus = &f.urhajo;
    }
}

void Board::kilepes_Click() {
    f.focus = &f.kilepes;
    f.szunet.enabled = false;
    v.kilepes_folyik = true;
    v.kilepes_jelzo = !v.kilepes_jelzo;
    f.uzabra.visible = false;
    f.uzenet.visible = false;
    f.kilepeshez.setInterval(60);
    tavozas();
    v.hang_zene = programFile(shell.platform(), assets::prgvege.file);
    if (v.kilepes_jelzo && v.hatterzene) shell.platform().playSound(v.hang_zene);
    if (f.urhajo.Left > f.jmezo.Width) programvege();
}

void Board::kilepeshez_Timer() {
    if (v.kilepes_folyik) f.urhajo.Left = f.urhajo.Left + 50;
    if (f.urhajo.Left > f.jmezo.Width) {
        f.kilepeshez.setInterval(0);
        f.loveshez.setInterval(0);
        f.ufoloveshez.setInterval(0);
        f.hatterhez.setInterval(0);
        f.ellenmozg.setInterval(0);
        f.idozit.setInterval(0);
    }
}

void Board::Form_QueryUnload() {
    programvege();
}

}  // namespace gombocok
