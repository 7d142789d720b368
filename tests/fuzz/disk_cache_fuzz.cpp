// The cache files: any bytes at all in "faces" or "first-frame". The input's
// first byte says what the rest is: 'F' a faces memo's body, 'P' a kept
// picture's body, each kept as this build keeps it under its key; else the
// whole is the file. An entry read is the file exactly as written; a faces
// table taken names only faces that open; a picture taken touches nothing
// outside its place and is kept and taken again the same.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstring>
#include <functional>

#include "fuzz_support.h"
#include "platform/sdl/disk_cache.h"
#include "platform/sdl/draw/first_frame.h"
#include "platform/sdl/text/face_memo.h"

namespace {

const std::vector<qs::FaceRequest> kWanted = {{"A", "FamA", "", "", ""}};
const SDL_Rect kArea{1, 1, 8, 4};

struct Surface {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 10, 6, 32, SDL_PIXELFORMAT_ARGB8888);
  Surface() { FUZZ_CHECK(s && SDL_FillRect(s, nullptr, 0x5a5a5a5a) == 0); }
  ~Surface() { SDL_FreeSurface(s); }
  bool operator==(const Surface& o) const { return std::memcmp(s->pixels, o.s->pixels, s->pitch * s->h) == 0; }
};

// A file as this build writes it, and the same entry with any body.
struct Kept {
  std::string path;
  qs::CacheEntry entry;
  Kept(const char* name, const std::function<bool(const std::string&)>& write) : path(qs::fuzz::folder().file(name)) {
    FUZZ_CHECK(write(path));
    const qs::test::Bytes kept = qs::test::readBytes(path);
    entry = qs::parseEntry(std::string(kept.begin(), kept.end())).value();
  }
  const std::string& with(std::string body) const {
    const std::string bytes = qs::composeEntry({entry.kind, entry.build, entry.key, std::move(body)});
    qs::test::writeBytes(path, qs::test::Bytes(bytes.begin(), bytes.end()));
    return path;
  }
};

std::string font;  // a font of this machine, for @F in a faces body; its size and time for @S and @T

Kept faces("faces", [](const std::string& path) {
  std::string error;
  const auto found = qs::findFaces(qs::standardFaces(), error);
  FUZZ_CHECK(found && TTF_Init() == 0);
  font = found->begin()->second.styles[0].path;
  qs::FoundFace face{"FamA", {}};
  for (qs::FontFile& f : face.styles) f.path = font;
  return qs::rememberFaces(path, kWanted, {{"A", face}});
});
Kept picture("first-frame", [](const std::string& path) {
  const Surface s;
  return qs::FirstFrameMemo(path, "fuzz").keep("splash", s.s, kArea);
});
const qs::FirstFrameMemo memo(picture.path, "fuzz"), again(qs::fuzz::folder().file("again"), "fuzz");

void recallFaces(std::string body) {
  // The stamps of the font as the memo has them: its line's last two fields.
  const std::string line = faces.entry.body.substr(0, faces.entry.body.find('\n'));
  const std::size_t time = line.rfind('\t'), size = line.rfind('\t', time - 1);
  for (auto [mark, to] :
       {std::pair{"@F", font}, {"@S", line.substr(size + 1, time - size - 1)}, {"@T", line.substr(time + 1)}})
    for (auto at = body.find(mark); at != std::string::npos; at = body.find(mark, at + to.size()))
      body.replace(at, 2, to);
  const auto table = qs::recallFaces(faces.with(body), kWanted);
  for (const auto& [name, face] : table.value_or(qs::FaceTable{}))
    for (const qs::FontFile& f : face.styles) {
      TTF_Font* opened = TTF_OpenFontIndex(f.path.c_str(), 12, f.index);
      FUZZ_CHECK(opened != nullptr);
      TTF_CloseFont(opened);
    }
}

void recallPicture(std::string body) {
  picture.with(std::move(body));
  Surface target, copy;
  if (memo.recall("splash", target.s, kArea))
    FUZZ_CHECK(again.keep("splash", target.s, kArea) && again.recall("splash", copy.s, kArea) && copy == target);
  SDL_FillRect(target.s, &kArea, 0x5a5a5a5a);
  FUZZ_CHECK(target == Surface());  // nothing outside the picture's place written
}

}  // namespace

FUZZ_TARGET(in) {
  const std::string input = in.text();
  if (input.starts_with('F')) recallFaces(input.substr(1));
  else if (input.starts_with('P')) recallPicture(input.substr(1));
  else if (const auto entry = qs::parseEntry(input)) FUZZ_CHECK(qs::composeEntry(*entry) == input);
}
