#pragma once
#include "runtime/element.h"

namespace qs {

// The frame of a fixed-border window, in twips: 3 pixels on each side and a
// 19-pixel title bar. A window 2560 twips wide has a 165-pixel client area;
// one 3510 twips high has 209 pixels under its title bar.
inline constexpr int kFrameWidthTwips = 6 * kTwipsPerPixel;
inline constexpr int kFrameHeightTwips = 25 * kTwipsPerPixel;

// Client size in pixels of a window whose outer size is given in twips.
constexpr int clientPixelsOfWidth(int outerTwips) {
  return (outerTwips - kFrameWidthTwips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}
constexpr int clientPixelsOfHeight(int outerTwips) {
  return (outerTwips - kFrameHeightTwips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}
// Outer size in twips of a window whose client area is given in twips.
constexpr int outerTwipsOfWidth(int clientTwips) { return clientTwips + kFrameWidthTwips; }
constexpr int outerTwipsOfHeight(int clientTwips) { return clientTwips + kFrameHeightTwips; }

}  // namespace qs
