#pragma once

namespace qs {

// Where a form's picture lies in its window: drawn at a whole-number scale,
// its top-left corner at (x, y) of the window.
struct Placement {
  int scale = 1, x = 0, y = 0;
  bool operator==(const Placement&) const = default;
};

// The largest whole-number scale (at least 1) at which a picture of w x h
// fits in an area of areaW x areaH.
int largestWholeScale(int w, int h, int areaW, int areaH);

// A picture of w x h in a window of outW x outH: as large as a whole-number
// scale lets it be, centred; a window too small for scale 1 shows its
// top-left part.
Placement centredPlacement(int w, int h, int outW, int outH);

}  // namespace qs
