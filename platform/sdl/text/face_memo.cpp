#include "platform/sdl/text/face_memo.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <sys/stat.h>

#include <charconv>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>

#include "platform/sdl/disk_cache.h"

namespace qs {
namespace {

// The standard faces take some 4 kB; a larger memo is not read, nor written.
DiskCache memoAt(const std::string& file) { return DiskCache(file, "faces", 16 << 10); }

// A font file as it stood when it was found: a file replaced or changed since
// may be another font.
struct Stamp {
  long long size = -1, mtimeNs = -1;
  bool operator==(const Stamp&) const = default;
};

std::optional<Stamp> stampOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return Stamp{static_cast<long long>(st.st_size),
               static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

// One line a style of a face asked for, in the order asked.
struct Line {
  std::string family;
  FontFile file;
  Stamp stamp;
};

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  for (std::string f; std::getline(in, f, '\t');) out.push_back(f);
  return out;
}

// The whole field as a decimal number, nothing before or after it.
template <class T>
std::optional<T> number(const std::string& s) {
  T n{};
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return n;
}

std::optional<Line> parse(const std::vector<std::string>& f) {
  auto flag = [](const std::string& s) { return s == "0" || s == "1"; };
  if (f.size() != 7 || !flag(f[3]) || !flag(f[4])) return std::nullopt;
  // Fault mended: a negative index (std::stoi unchecked) reached HarfBuzz and crashed every start.
  const auto index = number<int>(f[2]);
  const auto size = number<long long>(f[5]), time = number<long long>(f[6]);
  if (!index || *index < 0 || !size || !time || f[1].empty() || f[1][0] != '/') return std::nullopt;
  return Line{f[0], FontFile{f[1], *index, f[3] == "1", f[4] == "1"}, Stamp{*size, *time}};
}

struct LibraryFree {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};

// True when FreeType opens `file` as a font with the face `index` (bits 0-15)
// and, for a variable font, its named instance (bits 16-30), as fontconfig
// numbers them. Asked with a negative index, FreeType reads only the file's
// header and table directory, not the face.
bool holdsFace(FT_Library library, const FontFile& file) {
  const long face = file.index & 0xffff, instance = file.index >> 16;
  FT_Face probe = nullptr;
  if (FT_New_Face(library, file.path.c_str(), -(face + 1), &probe) != 0) return false;
  const bool holds = face < probe->num_faces && instance <= (probe->style_flags >> 16);
  FT_Done_Face(probe);
  return holds;
}

bool clean(const std::string& s) { return s.find_first_of("\t\n") == std::string::npos; }

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// What fontconfig answers from besides the fonts: where its configuration is
// read and when that last changed. Another answer may come from another
// configuration, so the memo holds only under the same one, for the same
// faces asked for.
std::string keyOf(const std::vector<FaceRequest>& wanted) {
  std::ostringstream out;
  for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT"}) out << env(name) << '\t';
  std::string user = env("XDG_CONFIG_HOME");
  if (user.empty() && !env("HOME").empty()) user = env("HOME") + "/.config";
  for (const std::string& path : {std::string("/etc/fonts/fonts.conf"), std::string("/etc/fonts/conf.d"),
                                  user + "/fontconfig", user + "/fontconfig/fonts.conf", user + "/fontconfig/conf.d"}) {
    struct stat st {};
    out << (stat(path.c_str(), &st) == 0 ? st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec : -1) << '\t';
  }
  for (const FaceRequest& r : wanted) out << '\n' << r.name << '\t' << r.family;
  return out.str();
}

}  // namespace

std::string faceFilesSignature(const FaceTable& table) {
  std::ostringstream out;
  for (const auto& [name, face] : table)
    for (const FontFile& f : face.styles) {
      const Stamp stamp = stampOf(f.path).value_or(Stamp{});
      out << name << '\t' << f.path << '\t' << f.index << f.syntheticBold << f.syntheticItalic << '\t' << stamp.size
          << '\t' << stamp.mtimeNs << '\n';
    }
  return out.str();
}

std::string faceMemoPath() { return DiskCache::pathOf("faces"); }

std::optional<FaceTable> recallFaces(const std::string& file, const std::vector<FaceRequest>& wanted) {
  const std::optional<std::string> text = memoAt(file).read(keyOf(wanted));
  if (!text) return std::nullopt;
  std::istringstream in(*text);
  FaceTable table;
  for (const FaceRequest& r : wanted) {
    FoundFace& face = table[r.name];
    for (FontFile& style : face.styles) {
      std::string line;
      const auto l = std::getline(in, line) ? parse(fields(line)) : std::nullopt;
      if (!l || stampOf(l->file.path) != l->stamp) return std::nullopt;
      face.family = l->family;
      style = l->file;
    }
  }
  // Fault mended: a file that is no font, or lacks the face named, drew no text and said nothing; it
  // is checked before the first frame, once a file and face.
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return std::nullopt;
  const std::unique_ptr<FT_LibraryRec_, LibraryFree> owned(library);
  std::set<std::pair<std::string, int>> checked;
  for (const auto& [name, face] : table)
    for (const FontFile& f : face.styles)
      if (checked.emplace(f.path, f.index).second && !holdsFace(library, f)) return std::nullopt;
  return table;
}

bool rememberFaces(const std::string& file, const std::vector<FaceRequest>& wanted, const FaceTable& table) {
  std::ostringstream out;
  for (const FaceRequest& r : wanted) {
    auto it = table.find(r.name);
    if (it == table.end() || !clean(it->second.family)) return false;
    for (const FontFile& f : it->second.styles) {
      auto stamp = stampOf(f.path);
      if (!stamp || !clean(f.path)) return false;
      out << it->second.family << '\t' << f.path << '\t' << f.index << '\t' << f.syntheticBold << '\t'
          << f.syntheticItalic << '\t' << stamp->size << '\t' << stamp->mtimeNs << '\n';
    }
  }
  return memoAt(file).write(keyOf(wanted), out.str());
}

}  // namespace qs
