#include "platform/sdl/audio/soundfont.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace qs {
namespace {

bool isFile(const std::string& p) {
  std::error_code ec;
  return !p.empty() && std::filesystem::is_regular_file(p, ec);  // follows the alternatives link
}

struct Chunk {
  char id[4];
  std::uint32_t size;
  std::uint64_t body;  // file offset of the chunk's contents
};

bool readChunk(std::ifstream& in, std::uint64_t at, Chunk& c) {
  unsigned char head[8];
  in.clear();
  in.seekg(static_cast<std::streamoff>(at));
  if (!in.read(reinterpret_cast<char*>(head), 8)) return false;
  std::memcpy(c.id, head, 4);
  c.size = static_cast<std::uint32_t>(head[4]) | static_cast<std::uint32_t>(head[5]) << 8 |
           static_cast<std::uint32_t>(head[6]) << 16 | static_cast<std::uint32_t>(head[7]) << 24;
  c.body = at + 8;
  return true;
}

std::string fourcc(const char* p) { return std::string(p, 4); }

// The ids of the chunks in [from, end), or nothing when one overruns it.
bool walk(std::ifstream& in, std::uint64_t from, std::uint64_t end, std::vector<Chunk>& out) {
  for (std::uint64_t at = from; at + 8 <= end;) {
    Chunk c{};
    if (!readChunk(in, at, c) || c.body + c.size > end) return false;
    out.push_back(c);
    at = c.body + c.size + (c.size & 1);
  }
  return true;
}

}  // namespace

std::string soundFontProblem(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::error_code ec;
  auto fileSize = std::filesystem::file_size(path, ec);
  Chunk riff{};
  char form[4];
  if (!in || ec || !readChunk(in, 0, riff) || fourcc(riff.id) != "RIFF" || !in.read(form, 4) || fourcc(form) != "sfbk")
    return "not a soundfont";
  if (riff.body + riff.size > fileSize) return "the file is cut short";
  std::vector<Chunk> lists;
  if (!walk(in, riff.body + 4, riff.body + riff.size, lists)) return "a chunk runs past the end";
  std::set<std::string> found;
  for (const Chunk& l : lists) {
    char type[4];
    in.clear();
    in.seekg(static_cast<std::streamoff>(l.body));
    if (fourcc(l.id) != "LIST" || l.size < 4 || !in.read(type, 4)) continue;
    found.insert(fourcc(type));
    if (fourcc(type) != "pdta") continue;
    std::vector<Chunk> tables;
    if (!walk(in, l.body + 4, l.body + l.size, tables)) return "a table runs past its list";
    for (const char* t : {"phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"})
      if (std::none_of(tables.begin(), tables.end(), [&](const Chunk& c) { return fourcc(c.id) == t; }))
        return std::string("no ") + t + " table";
  }
  for (const char* l : {"INFO", "sdta", "pdta"})
    if (!found.count(l)) return std::string("no ") + l + " list";
  return {};
}

SoundFontChoice findSoundFont(const char* sdlSoundfonts) {
  if (sdlSoundfonts && *sdlSoundfonts) {
    std::string list = sdlSoundfonts;
    std::size_t from = 0;
    while (from <= list.size()) {
      std::size_t to = list.find_first_of(";:", from);
      if (to == std::string::npos) to = list.size();
      std::string p = list.substr(from, to - from);
      if (isFile(p)) return {p, {}};
      from = to + 1;
    }
    return {{}, "no soundfont found where SDL_SOUNDFONTS says (" + list + ")"};
  }
  for (const char* p : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
                        "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/soundfonts/default.sf2"})
    if (isFile(p)) return {p, {}};
  return {{}, "no General MIDI soundfont installed (install timgm6mb-soundfont or set SDL_SOUNDFONTS)"};
}

}  // namespace qs
