// The bounds of a shape in device pixels.
#include "kivet/draw/clipping.h"

#include <algorithm>

namespace kivet {

Box bounds(std::initializer_list<Pixel> pixels) {
  Box box{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
  for (const Pixel& p : pixels) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  }
  return box;
}

}  // namespace kivet
