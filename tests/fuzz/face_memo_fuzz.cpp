// The faces memo: any lines at all may follow its header in "faces". A table
// taken from it names only faces that open: none ever reaches the drawing
// with a file that is no font or a face the file lacks.
#include <SDL_ttf.h>
#include <sys/stat.h>

#include "fuzz_support.h"
#include "platform/sdl/text/face_memo.h"

namespace {

const std::vector<qs::FaceRequest> kWanted = {{"A", "FamA", "", "", ""}};

struct Setting {
  qs::fuzz::InputFile file{"faces"};
  std::string head;                // the header and configuration lines, as a start writes them here
  std::string font, size, time;    // a font of this machine, for @F, @S and @T in the input
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
    const std::string memo = file.dir() + "/faces";
    FUZZ_CHECK(qs::rememberFaces(memo, kWanted, {{"A", face}}));
    std::ifstream in(memo);
    std::string line;
    for (int i = 0; i < 2 && std::getline(in, line); ++i) head += line + "\n";
  }
};

void replaceAll(std::string& s, const std::string& from, const std::string& to) {
  for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Setting setting;
  std::string text(reinterpret_cast<const char*>(data), size);
  replaceAll(text, "@F", setting.font);
  replaceAll(text, "@S", setting.size);
  replaceAll(text, "@T", setting.time);
  text = setting.head + text;
  const auto table = qs::recallFaces(setting.file.write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), kWanted);
  if (!table) return 0;
  for (const auto& [name, face] : *table)
    for (const qs::FontFile& f : face.styles) {
      TTF_Font* opened = TTF_OpenFontIndex(f.path.c_str(), 12, f.index);
      FUZZ_CHECK(opened != nullptr);
      TTF_CloseFont(opened);
    }
  return 0;
}
