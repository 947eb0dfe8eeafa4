#include "game/board.h"

namespace gombocok {

void programvege(Vars& v, Shell& shell) {
    v.hang_zene = programFile(shell.platform(), "csend.wav");
    shell.platform().playSound(v.hang_zene);
    shell.unload(WindowId::opciok);
    shell.unload(WindowId::splash);
    shell.unload(WindowId::board);
    shell.endProgram();
}

Board::Board(Vars& vars, BoardForm& form, Shell& shell) : v(vars), f(form), shell(shell) {}

void Board::Form_Load() {}
void Board::inic() {}
void Board::indit_Click() {}
void Board::beallit_Click() {}
void Board::keyDown(int keyCode) {
    if (f.urhajo.enabled && f.hasFocus(&f.urhajo)) urhajo_KeyDown(keyCode);
}
void Board::urhajo_KeyDown(int) {}
void Board::loveshez_Timer() {}
void Board::talvizsg() {}
void Board::ellenmozg_Timer() {}
void Board::ufoloveshez_Timer() {}
void Board::ufotalvizsg() {}
void Board::utkvizsg() {}
void Board::szintvalto() {}
void Board::veszit() {}
void Board::tavozas() {}
void Board::programvege() { gombocok::programvege(v, shell); }
void Board::idozit_Timer() {}
void Board::hatterhez_Timer() {}
void Board::szunet_Click() {}
void Board::szuneteles() {}
void Board::kilepes_Click() {}
void Board::kilepeshez_Timer() {}
void Board::Form_QueryUnload() { programvege(); }

}  // namespace gombocok
