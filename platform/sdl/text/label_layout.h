#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/element.h"

namespace qs {

using WidthOf = std::function<int(std::string_view)>;

// The lines a label shows: a new line at each line break, and words that do
// not fit the width carried onto further lines, breaking at blanks or between
// wide (Japanese) characters. A word wider than the label keeps a line of its
// own and is cut off by the clipping. A width of zero or less wraps nothing.
// A paragraph no wider than `keepWhole` (when more than `maxWidth`) stays one
// line, to be narrowed to the label (see placeInk).
std::vector<std::string> wrapLines(std::string_view text, int maxWidth, const WidthOf& widthOf, int keepWhole = 0);

// Left edge of a line of `lineWidth` aligned inside [left, left + width).
int alignedLeft(Align a, int left, int width, int lineWidth);

// How much wider (or taller) than its label a line of the layout's own text
// may be and still be narrowed to fit it: the stand-in faces are wider than
// the ones the layouts were made for.
inline constexpr double kNarrowing = 1.15;
inline int narrowingLimit(int size) { return static_cast<int>(size * kNarrowing); }

// Where a line's ink goes in a label: `ink` is its place in the line (from
// the line's left edge and top), `lineTop` the line's top. Ink that fits the
// label but would run past an edge is moved inside (across, and down or up
// for the only line of a label); with `narrow`, ink up to narrowingLimit()
// wider (or taller) than the label is squeezed to its size. Other ink is left
// where it falls, and the label cuts it.
Rect placeInk(const Rect& label, int lineTop, Align a, int lineWidth, const Rect& ink, bool onlyLine, bool narrow);

}  // namespace qs
