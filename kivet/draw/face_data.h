// The data of KIVET-font, the face built into the library: a TrueType font
// held as constant bytes (face_data.cpp, made by scripts/make-face.py).
#pragma once

#include <cstddef>

namespace kivet {

extern const unsigned char FACE_DATA[];
extern const size_t FACE_DATA_SIZE;

}  // namespace kivet
