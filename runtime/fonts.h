#pragma once
#include "runtime/element.h"

namespace qs {

// The faces the scenes name.
inline constexpr const char* kUiFace = "MS P Gothic";
inline constexpr const char* kMinchoFace = "MS P Mincho";
inline constexpr const char* kFixedFace = "MS Gothic";
inline constexpr const char* kSymbolFace = "Wingdings";

inline Font gothic(double size, bool bold = false, bool italic = false) { return Font{kUiFace, size, bold, italic}; }
inline Font mincho(double size, bool bold = false, bool italic = false) { return Font{kMinchoFace, size, bold, italic}; }
inline Font wingdings(double size, bool bold = false) { return Font{kSymbolFace, size, bold, false}; }

}  // namespace qs
