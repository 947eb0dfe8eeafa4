// Every picture, cursor and sound the program loads from its directory at run time, each named
// once here with what it is. The rules name a file through these constants; the build installs
// the files these entries name beside the program (it reads this header: one entry to a line,
// the file's name the first quoted text on it, nothing else quoted in the table), the asset
// generator makes each of them, and the tests check each.
#pragma once

#include <array>

namespace gombocok {

struct Asset {
    enum class Kind { sound, picture, cursor };
    const char* file;  // its name in the program directory
    Kind kind;
    const char* what;  // where a player meets it
};

namespace assets {

using enum Asset::Kind;

// clang-format off
// Sounds (RIFF/WAVE), played by path on the one channel.
inline constexpr Asset prgindit{"prgindit.wav", sound, "start-up jingle: the title screen, or Start when it moved on by itself"};
inline constexpr Asset urzaj{"urzaj.wav", sound, "background music of play, from Start"};
inline constexpr Asset beallit{"beallit.wav", sound, "music of the options dialog"};
inline constexpr Asset uloves{"uloves.wav", sound, "the player fires"};
inline constexpr Asset ufoloves{"ufoloves.wav", sound, "a UFO fires"};
inline constexpr Asset utkozes{"utkozes.wav", sound, "a UFO shot empties the condition bar; a collision"};
inline constexpr Asset tavozas{"tavozas.wav", sound, "the formation departs"};
inline constexpr Asset prgvege{"prgvege.wav", sound, "the quit jingle"};
inline constexpr Asset csend{"csend.wav", sound, "silence: played to cut off whatever sounds"};

// The UFO's picture: the level chooses it (Board::setUfoPicture's caller), and so do the cheats.
inline constexpr std::array<Asset, 6> ufo{{
    {"ufo1.gif", picture, "the UFO of levels 1 and 2"},
    {"ufo2.gif", picture, "the UFO of levels 3 and 4"},
    {"ufo3.gif", picture, "the UFO of levels 5 and 6"},
    {"ufo4.gif", picture, "the UFO of levels 7 and 8"},
    {"ufo5.gif", picture, "the UFO of levels 9 and 10"},
    {"ufo6.gif", picture, "the UFO from level 11 on"},
}};
// The spacecraft's picture, by spacecraft type (urhajotipus 0 to 2).
inline constexpr std::array<Asset, 3> urhajokep{{
    {"k_urhajo_01.jpg", picture, "the spacecraft of type 0"},
    {"k_urhajo_02.jpg", picture, "the spacecraft of type 1"},
    {"k_urhajo_03.jpg", picture, "the spacecraft of type 2, the default"},
}};
inline constexpr Asset handk{"handk.cur", cursor, "the hand over clickable pictures"};
// clang-format on

// Every entry above, in the order it stands.
inline constexpr std::array<const Asset*, 19> all{
    &prgindit, &urzaj,        &beallit,      &uloves,       &ufoloves, &utkozes, &tavozas,
    &prgvege,  &csend,        &ufo[0],       &ufo[1],       &ufo[2],   &ufo[3],  &ufo[4],
    &ufo[5],   &urhajokep[0], &urhajokep[1], &urhajokep[2], &handk,
};

}  // namespace assets
}  // namespace gombocok
