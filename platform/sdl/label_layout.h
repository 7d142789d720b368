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
std::vector<std::string> wrapLines(std::string_view text, int maxWidth, const WidthOf& widthOf);

// Left edge of a line of `lineWidth` aligned inside [left, left + width).
int alignedLeft(Align a, int left, int width, int lineWidth);

}  // namespace qs
