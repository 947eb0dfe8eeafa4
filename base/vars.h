// The program-wide variables, shared by the three windows and every rule of play. A value not
// set yet counts as 0, false or the empty string.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace gombocok {

struct Vars {
    std::int16_t i = 0;  // the one loop index over the members of `ellen`

    int serulesszint = 0;     // damage level
    int serules = 0;          // UFO-shot hits that empty the condition bar
    int teljes = 0;           // full width of both bars, twips
    int urhajolepes = 0;      // spacecraft step
    int lovesseb = 0;         // step of every shot per tick
    int ufoseb = 0;           // UFO step per formation tick
    std::int16_t loszer = 0;  // rounds left
    int urhajohatar = 0;      // spacecraft margin
    int ufoszam = 0;          // members of a full wave
    int ufomaradt = 0;        // UFOs of this wave still in play
    int lelottszam = 0;       // UFOs shot down in this game
    int szint = 0;            // level
    int lovoufo = 0;          // index of the UFO that fires
    int perc = 0;             // elapsed minutes
    int masodperc = 0;        // seconds within the minute

    std::int16_t urhajotipus = 0;  // spacecraft type 0..2
    std::string urhajokep;         // its picture's file name

    bool hatterzene = false;   // music and jingles may play
    bool hanghatas = false;    // sound effects may play
    std::string programnyelv;  // "magyar", "hungarian", "angol" or "english"

    std::string hang_loves, hang_ufoloves, hang_utkozes, hang_tavozas;
    std::string hang_zene;  // scratch path of whichever music is about to start

    bool szunetel = false;  // paused
    // Intervals saved at pause: idozit, loveshez, hatterhez, kilepeshez, ufoloveshez, ellenmozg.
    std::array<std::int16_t, 6> idozitok{};
    bool kilepes_folyik = false;
    bool kilepes_jelzo = false;
    bool csalas1 = false;  // reverse fire
    bool csalas2 = false;  // invulnerability

    bool nincs_beallitas = false;  // settings file was missing at start
    // The player has been told this run that the settings file cannot be read.
    bool settings_unreadable_told = false;
    int zeneido = 0;  // title-screen seconds
};

}  // namespace gombocok
