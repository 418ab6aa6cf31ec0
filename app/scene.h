// Fixed geometry of the scene shared by the runways, the movements and the
// airfield, in display coordinates (origin at the centre, y upwards).
#pragma once

// The visible scene spans x from -300 to 300 and y from -250 to 250.
constexpr int kSceneLeft = -300;
constexpr int kSceneRight = 300;
constexpr int kSceneBottom = -250;
constexpr int kSceneTop = 250;

// Every runway's strip starts here and runs to the right edge; the part of
// the scene left of it is the runway's apron.
constexpr int kRunwayThreshold = -135;
