#include "platform/sdl/video/placement.h"

#include <algorithm>

namespace qs {

int largestWholeScale(int w, int h, int areaW, int areaH) {
  w = std::max(1, w), h = std::max(1, h);
  return std::max(1, std::min(areaW / w, areaH / h));
}

Placement centredPlacement(int w, int h, int outW, int outH) {
  Placement p;
  p.scale = largestWholeScale(w, h, outW, outH);
  p.x = std::max(0, (outW - std::max(1, w) * p.scale) / 2);
  p.y = std::max(0, (outH - std::max(1, h) * p.scale) / 2);
  return p;
}

}  // namespace qs
