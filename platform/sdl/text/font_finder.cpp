#include "platform/sdl/text/font_finder.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "runtime/fonts.h"

namespace qs {
namespace {

struct PatternFree {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetFree {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct ConfigFree {
  void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
using Pattern = std::unique_ptr<FcPattern, PatternFree>;
using FontSet = std::unique_ptr<FcFontSet, FontSetFree>;

const FcChar8* u8(const std::string& s) { return reinterpret_cast<const FcChar8*>(s.c_str()); }

bool sameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// True when one of the font's family names is `family`.
bool hasFamily(FcPattern* font, const std::string& family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (sameName(reinterpret_cast<const char*>(name), family)) return true;
  return false;
}

bool speaks(FcPattern* font, const std::string& lang) {
  FcLangSet* langs = nullptr;
  if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) != FcResultMatch) return false;
  return FcLangSetHasLang(langs, u8(lang)) == FcLangEqual;
}

std::string firstFamily(FcPattern* font) {
  FcChar8* name = nullptr;
  return FcPatternGetString(font, FC_FAMILY, 0, &name) == FcResultMatch ? reinterpret_cast<const char*>(name) : "";
}

Pattern query(FcConfig* fc, const std::string& family, const std::string& lang, bool bold, bool italic) {
  Pattern p(FcPatternCreate());
  if (!family.empty()) FcPatternAddString(p.get(), FC_FAMILY, u8(family));
  if (!lang.empty()) FcPatternAddString(p.get(), FC_LANG, u8(lang));
  FcPatternAddInteger(p.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(p.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(p.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(fc, p.get(), FcMatchPattern);
  FcDefaultSubstitute(p.get());
  return p;
}

FontFile fileOf(FcPattern* font, bool bold, bool italic) {
  FontFile f;
  FcChar8* path = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &path) == FcResultMatch) f.path = reinterpret_cast<const char*>(path);
  FcPatternGetInteger(font, FC_INDEX, 0, &f.index);
  int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
  FcPatternGetInteger(font, FC_SLANT, 0, &slant);
  // The configuration may ask for a synthetic style itself: a regular face
  // then comes back marked bold with "embolden", or oblique with a shear.
  FcBool embolden = FcFalse;
  FcPatternGetBool(font, FC_EMBOLDEN, 0, &embolden);
  FcMatrix* shear = nullptr;
  bool sheared = FcPatternGetMatrix(font, FC_MATRIX, 0, &shear) == FcResultMatch && shear->xy != 0;
  f.syntheticBold = bold && (weight < FC_WEIGHT_DEMIBOLD || embolden);
  f.syntheticItalic = italic && (slant == FC_SLANT_ROMAN || sheared);
  return f;
}

// The best font of `family` for the style, if the family is there at all.
std::optional<FontFile> matchFamily(FcConfig* fc, const std::string& family, bool bold, bool italic) {
  Pattern p = query(fc, family, "", bold, italic);
  FcResult result = FcResultNoMatch;
  Pattern font(FcFontMatch(fc, p.get(), &result));
  if (!font || result != FcResultMatch || !hasFamily(font.get(), family)) return std::nullopt;
  return fileOf(font.get(), bold, italic);
}

// The first scalable font that speaks the language, preferring the kind given.
std::optional<std::string> familyForLang(FcConfig* fc, const std::string& lang, const std::string& kind) {
  Pattern p = query(fc, kind, lang, false, false);
  FcResult result = FcResultNoMatch;
  FontSet fonts(FcFontSort(fc, p.get(), FcTrue, nullptr, &result));
  if (!fonts) return std::nullopt;
  for (int i = 0; i < fonts->nfont; ++i) {
    FcPattern* font = fonts->fonts[i];
    if (!speaks(font, lang)) continue;
    std::string family = firstFamily(font);
    if (!family.empty()) return family;
  }
  return std::nullopt;
}

std::optional<FoundFace> findFace(FcConfig* fc, const FaceRequest& r) {
  std::string family = r.family;
  if (!matchFamily(fc, family, false, false)) {
    if (r.fallbackLang.empty()) return std::nullopt;
    auto other = familyForLang(fc, r.fallbackLang, r.fallbackKind);
    if (!other || !matchFamily(fc, *other, false, false)) return std::nullopt;
    family = *other;
  }
  FoundFace face;
  face.family = family;
  for (int s = 0; s < 4; ++s) {
    bool bold = s >= 2, italic = s % 2 == 1;
    auto file = matchFamily(fc, family, bold, italic);
    if (!file) {
      // The family is there, so its regular face stands in with synthetic styles.
      file = matchFamily(fc, family, false, false);
      if (!file) return std::nullopt;
      file->syntheticBold = bold;
      file->syntheticItalic = italic;
    }
    face.styles[static_cast<std::size_t>(s)] = *file;
  }
  return face;
}

}  // namespace

std::vector<FaceRequest> standardFaces() {
  return {
      {kUiFace, "IPAPGothic", "ja", "sans-serif", "fonts-ipafont-gothic"},
      {kUiFaceFullWidth, "IPAPGothic", "ja", "sans-serif", "fonts-ipafont-gothic"},
      {kMinchoFace, "IPAPMincho", "ja", "serif", "fonts-ipafont-mincho"},
      {kMinchoFaceFullWidth, "IPAPMincho", "ja", "serif", "fonts-ipafont-mincho"},
      {kFixedFace, "IPAGothic", "ja", "monospace", "fonts-ipafont-gothic"},
      {kSymbolFace, "Symbola", "", "", "fonts-symbola"},
  };
}

std::optional<FaceTable> findFaces(const std::vector<FaceRequest>& wanted, std::string& error) {
  // A configuration of our own, freed once the files are known.
  std::unique_ptr<FcConfig, ConfigFree> config(FcInitLoadConfigAndFonts());
  if (!config) {
    error = "cannot start fontconfig";
    return std::nullopt;
  }
  FaceTable table;
  std::vector<std::pair<std::string, std::string>> missing;  // a family and the names it stands in for
  std::vector<std::string> packages;
  for (const FaceRequest& r : wanted) {
    if (auto face = findFace(config.get(), r)) {
      table.emplace(r.name, std::move(*face));
      continue;
    }
    std::string name = "\"" + r.name + "\"";
    auto same = std::find_if(missing.begin(), missing.end(), [&](const auto& m) { return m.first == r.family; });
    if (same == missing.end()) missing.emplace_back(r.family, name);
    else same->second += ", " + name;
    if (std::find(packages.begin(), packages.end(), r.package) == packages.end()) packages.push_back(r.package);
  }
  if (missing.empty()) return table;
  error = "cannot find the font";
  if (missing.size() > 1) error += "s";
  for (std::size_t i = 0; i < missing.size(); ++i)
    error += (i ? ", " : " ") + missing[i].first + " (for " + missing[i].second + ")";
  error += "; install the Debian package";
  if (packages.size() > 1) error += "s";
  for (const std::string& p : packages) error += " " + p;
  return std::nullopt;
}

}  // namespace qs
