#include "settings/opciok.h"

namespace gombocok {

Opciok::Opciok(Vars& vars, OpciokForm& form, Shell& shell) : v(vars), f(form), shell(shell) {}

void Opciok::Form_Load() {}
void Opciok::Form_Unload() {}
void Opciok::betoltes() {}
void Opciok::mentes() {}
void Opciok::fules_Click(int) {}
void Opciok::framekez() {}
void Opciok::uh_Click(int) {}
void Opciok::nyelv_Click(int) {}
void Opciok::hzene_Click() {}
void Opciok::effektek_Click() {}
void Opciok::nszcsuszka_Change() {}
void Opciok::mloszer_KeyDown(int) {}
void Opciok::mloszer_Change(const std::string&) {}
void Opciok::chloszer_DownClick() {}
void Opciok::chloszer_UpClick() {}
void Opciok::mehet_Click() {}
void Opciok::hibakez() {}

}  // namespace gombocok
