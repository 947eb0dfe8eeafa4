#include "game/splash.h"

#include "base/assets.h"

namespace gombocok {
namespace {

constexpr int kUfoWidth = 49, kUfoHeight = 50;
constexpr int kUrhajoWidth = 75, kUrhajoHeight = 58;

}  // namespace

Splash::Splash(Vars& vars, SplashForm& form, Shell& shell) : v(vars), f(form), shell(shell) {}

void Splash::Form_Load() {
    // Loading the dialog reads the settings and, through the texts, loads the game window; with
    // no settings file the program ends in here.
    shell.opciok();
    f.ufoX = 400;
    f.ufoY = 340;
    f.urhajoX = 120;
    f.urhajoY = 335;
    drawSprites();
    Platform& p = shell.platform();
    v.hang_zene = programFile(p, assets::prgindit.file);
    const std::string cursor = programFile(p, assets::handk.file);
    p.loadCursor(cursor);
    f.hkep.cursor = cursor;
    v.zeneido = 0;
}

// The AND with the mask blackens each sprite's opaque area; the OR then paints the sprite in.
void Splash::drawSprites() {
    using Op = Blit::Op;
    f.hkepDrawing.push_back({f.maszk.picture, f.ufoX, f.ufoY, kUfoWidth, kUfoHeight, Op::srcAnd});
    f.hkepDrawing.push_back({f.kep.picture, f.ufoX, f.ufoY, kUfoWidth, kUfoHeight, Op::srcPaint});
    f.hkepDrawing.push_back(
        {f.umaszk.picture, f.urhajoX, f.urhajoY, kUrhajoWidth, kUrhajoHeight, Op::srcAnd});
    f.hkepDrawing.push_back(
        {f.ukep.picture, f.urhajoX, f.urhajoY, kUrhajoWidth, kUrhajoHeight, Op::srcPaint});
}

void Splash::cimscroll_Timer() {
    if (f.cim.Top <= 50) f.cim.Top += 100;
    if (f.szerzo.Top > 5300) f.szerzo.Top -= 100;
    if (f.cim.Top >= 50 && f.szerzo.Top <= 5300) f.cimscroll.setInterval(0);
    if (f.ufoX > 100) f.ufoX -= 11;
    if (f.urhajoX < 410) f.urhajoX += 11;
    f.hkepDrawing.clear();
    drawSprites();
}

void Splash::zeneindit_Timer() {
    ++v.zeneido;
    f.cim.visible = true;
    if (v.hatterzene && v.zeneido == 2) shell.platform().playSound(v.hang_zene);
    if (v.zeneido == 18) {
        shell.hide(WindowId::splash);
        f.cimscroll.setInterval(0);
        f.zeneindit.setInterval(0);
        shell.show(WindowId::board);
    }
}

void Splash::hkep_Click() {
    Platform& p = shell.platform();
    v.hang_zene = programFile(p, assets::csend.file);
    p.playSound(v.hang_zene);
    v.hang_zene = programFile(p, assets::urzaj.file);
    shell.hide(WindowId::splash);
    f.cimscroll.setInterval(0);
    f.zeneindit.setInterval(0);
    shell.show(WindowId::board);
}

}  // namespace gombocok
