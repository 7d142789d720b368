// The cache files: any bytes at all in "faces" or "first-frame". The input's
// first byte says what the rest is: 'F' a faces memo's body, 'P' a kept
// picture's body, each kept as this build keeps it under its key; else the
// whole is the file. An entry read is the file exactly as written; a faces
// table taken names only faces that open; a picture taken touches nothing
// outside its place and is kept and taken again the same.
#include <SDL.h>
#include <SDL_ttf.h>
#include <sys/stat.h>

#include "fuzz_support.h"
#include "platform/sdl/disk_cache.h"
#include "platform/sdl/draw/first_frame.h"
#include "platform/sdl/text/face_memo.h"

namespace {

const std::vector<qs::FaceRequest> kWanted = {{"A", "FamA", "", "", ""}};
constexpr std::uint32_t kGuard = 0x5a5a5a5a;
const SDL_Rect kArea{1, 1, 8, 4};

SDL_Surface* surface() {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 10, 6, 32, SDL_PIXELFORMAT_ARGB8888);
  FUZZ_CHECK(s != nullptr);
  SDL_FillRect(s, nullptr, kGuard);
  return s;
}

std::uint32_t at(const SDL_Surface* s, int x, int y) {
  return static_cast<const std::uint32_t*>(s->pixels)[y * s->pitch / 4 + x];
}

// The entry a start writes at `path`, for another body.
qs::CacheEntry entryAt(const std::string& path) {
  const qs::test::Bytes kept = qs::test::readBytes(path);
  const auto entry = qs::parseEntry(std::string(kept.begin(), kept.end()));
  FUZZ_CHECK(entry.has_value());
  return *entry;
}

struct Setting {
  qs::fuzz::InputFile faces{"faces"}, picture{"first-frame"};
  qs::FirstFrameMemo memo{picture.dir() + "/first-frame", "fuzz"};
  qs::CacheEntry facesEntry, pictureEntry;
  std::string font, size, time;  // a font of this machine, for @F, @S and @T in a faces body
  Setting() {
    std::string error;
    const auto found = qs::findFaces(qs::standardFaces(), error);
    FUZZ_CHECK(found && TTF_Init() == 0);
    font = found->begin()->second.styles[0].path;
    struct stat st {};
    FUZZ_CHECK(stat(font.c_str(), &st) == 0);
    size = std::to_string(st.st_size);
    time = std::to_string(static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec);
    qs::FoundFace face{"FamA", {}};
    for (qs::FontFile& f : face.styles) f.path = font;
    FUZZ_CHECK(qs::rememberFaces(faces.dir() + "/faces", kWanted, {{"A", face}}));
    facesEntry = entryAt(faces.dir() + "/faces");
    SDL_Surface* s = surface();
    FUZZ_CHECK(memo.keep("splash", s, kArea));
    SDL_FreeSurface(s);
    pictureEntry = entryAt(picture.dir() + "/first-frame");
  }
};

void replaceAll(std::string& s, const std::string& from, const std::string& to) {
  for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
}

const std::string& write(qs::fuzz::InputFile& file, qs::CacheEntry entry, std::string body) {
  entry.body = std::move(body);
  const std::string bytes = qs::composeEntry(entry);
  return file.write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

void recallFaces(Setting& setting, std::string body) {
  replaceAll(body, "@F", setting.font);
  replaceAll(body, "@S", setting.size);
  replaceAll(body, "@T", setting.time);
  const auto table = qs::recallFaces(write(setting.faces, setting.facesEntry, body), kWanted);
  if (!table) return;
  for (const auto& [name, face] : *table)
    for (const qs::FontFile& f : face.styles) {
      TTF_Font* opened = TTF_OpenFontIndex(f.path.c_str(), 12, f.index);
      FUZZ_CHECK(opened != nullptr);
      TTF_CloseFont(opened);
    }
}

void recallPicture(Setting& setting, std::string body) {
  write(setting.picture, setting.pictureEntry, std::move(body));
  SDL_Surface* target = surface();
  const bool taken = setting.memo.recall("splash", target, kArea);
  for (int y = 0; y < target->h; ++y)
    for (int x = 0; x < target->w; ++x)
      if (x < kArea.x || y < kArea.y || x >= kArea.x + kArea.w || y >= kArea.y + kArea.h)
        FUZZ_CHECK(at(target, x, y) == kGuard);
  if (taken) {
    static const qs::FirstFrameMemo again(setting.picture.dir() + "/again", "fuzz");
    SDL_Surface* copy = surface();
    FUZZ_CHECK(again.keep("splash", target, kArea) && again.recall("splash", copy, kArea));
    for (int y = kArea.y; y < kArea.y + kArea.h; ++y)
      for (int x = kArea.x; x < kArea.x + kArea.w; ++x) FUZZ_CHECK(at(copy, x, y) == at(target, x, y));
    SDL_FreeSurface(copy);
  }
  SDL_FreeSurface(target);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Setting setting;
  const std::string input(reinterpret_cast<const char*>(data), size);
  if (input.starts_with('F')) recallFaces(setting, input.substr(1));
  else if (input.starts_with('P')) recallPicture(setting, input.substr(1));
  else if (const auto entry = qs::parseEntry(input)) FUZZ_CHECK(qs::composeEntry(*entry) == input);
  return 0;
}
