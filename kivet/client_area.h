// The graphics window's client area: the part of the off-screen bitmap a
// window shows, and the origin of display coordinates in it. The bitmap is
// the window's outer size, 601 x 540; a menu bar takes 25 of its rows, so
// the client area shows the bitmap's top 515 rows. Every backend sizes its
// window, canvas or memory screen by these numbers.
#pragma once

#include "kivet/draw/bitmap.h"

namespace kivet {

constexpr int CLIENT_WIDTH = BITMAP_WIDTH;
constexpr int CLIENT_HEIGHT = 515;
// Display point (0, 0): the client area's centre, as the size message sets
// it.
constexpr int ORIGIN_X = CLIENT_WIDTH / 2;
constexpr int ORIGIN_Y = CLIENT_HEIGHT / 2;

}  // namespace kivet
