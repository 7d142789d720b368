#pragma once
#include <array>

#include "runtime/element.h"

namespace qs {

// The faces the scenes name, spelled as each scene spells them: the
// proportional Japanese sans and serif faces, the fixed-pitch face of the
// screen saver's text box and the symbol face of the glyph sprites.
inline constexpr const char* kUiFace = "MS P Gothic";
inline constexpr const char* kMinchoFace = "MS P Mincho";
inline constexpr const char* kFixedFace = "MS Gothic";
inline constexpr const char* kSymbolFace = "Wingdings";
// The same two proportional faces in the full-width letters of a Japanese
// system, as the Strike game's and the sword game's layouts name them.
inline constexpr const char* kUiFaceFullWidth = "ＭＳ Ｐゴシック";
inline constexpr const char* kMinchoFaceFullWidth = "ＭＳ Ｐ明朝";

// Every face name a scene may use; a drawing backend maps each to a font.
inline constexpr std::array<const char*, 6> kSceneFaces = {kUiFace,     kMinchoFace,      kFixedFace,
                                                           kSymbolFace, kUiFaceFullWidth, kMinchoFaceFullWidth};

inline Font gothic(double size, bool bold = false, bool italic = false) { return Font{kUiFace, size, bold, italic}; }
inline Font mincho(double size, bool bold = false, bool italic = false) {
  return Font{kMinchoFace, size, bold, italic};
}
inline Font gothicFullWidth(double size, bool bold = false, bool italic = false) {
  return Font{kUiFaceFullWidth, size, bold, italic};
}
inline Font minchoFullWidth(double size, bool bold = false, bool italic = false) {
  return Font{kMinchoFaceFullWidth, size, bold, italic};
}
inline Font wingdings(double size, bool bold = false) { return Font{kSymbolFace, size, bold, false}; }

}  // namespace qs
