#pragma once
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qs {

// A face the scenes name and the font that stands in for it.
struct FaceRequest {
  std::string name;          // as the scenes name it: "MS P Gothic"
  std::string family;        // the family to look for: "IPAPGothic"
  std::string fallbackLang;  // any face for this language will do ("ja"), or none
  std::string fallbackKind;  // "sans-serif", "serif" or "monospace" to prefer among those
  std::string package;       // the Debian package that brings the family
};

// One font file; a style the file lacks is made by SDL_ttf (synthetic bold or italic).
struct FontFile {
  std::string path;
  int index = 0;
  bool syntheticBold = false;
  bool syntheticItalic = false;
  bool operator==(const FontFile&) const = default;
};

struct FoundFace {
  std::string family;              // the family found
  std::array<FontFile, 4> styles;  // regular, italic, bold, bold italic
  const FontFile& style(bool bold, bool italic) const { return styles[(bold ? 2 : 0) + (italic ? 1 : 0)]; }
  bool operator==(const FoundFace&) const = default;
};

// Found faces by the name the scenes use.
using FaceTable = std::map<std::string, FoundFace>;

// The faces the scenes name and their stand-ins on a Debian system.
std::vector<FaceRequest> standardFaces();

// Looks every face up through fontconfig. When one cannot be found, returns
// nothing and `error` names the packages to install.
std::optional<FaceTable> findFaces(const std::vector<FaceRequest>& wanted, std::string& error);

}  // namespace qs
