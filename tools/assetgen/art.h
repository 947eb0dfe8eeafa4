// The game's pictures. Every function draws from fixed seeds, so repeated runs give identical
// pixels.
#pragma once

#include <QImage>

namespace gombocok::assetgen {

// UFO of `level` 1 (friendly) to 6 (ominous), 49 by 50 on black.
QImage drawUfo(int level);
// Spacecraft `type` 1 (75x43), 2 (75x38) or 3 (75x58) on black, nose at (74, 29).
QImage drawShip(int type);
// Pointing hand, 32x32 with alpha; the fingertip is at handHotSpot().
QImage drawHand();
QPoint handHotSpot();
// 1060x420 starfield that repeats every 473 1/3 pixels across.
QImage drawBackground();
// 550x413 title picture.
QImage drawTitle();
// 139x144 picture of the father who speaks the level messages.
QImage drawFather();
// Program icon with alpha; `size` 32 or 48 (larger sizes enlarge the 32-pixel one).
QImage drawIcon(int size);

}  // namespace gombocok::assetgen
