// Numbers and colours that more than one of the game window's rules rely on.
#pragma once

#include "base/controls.h"

namespace gombocok::rules {

// From this level on a wave is member 0 alone, and it pursues the spacecraft.
constexpr int kBossLevel = 10;
// Every shot is a horizontal stroke this long, in twips.
constexpr float kShotLength = 200;

// The condition bar while the spacecraft is sound, and once it has been hit down to half.
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

}  // namespace gombocok::rules
