#pragma once
#include <SDL.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/sdl/draw/painter.h"
#include "platform/sdl/draw/part_tiles.h"
#include "platform/sdl/draw/picture_cache.h"
#include "platform/sdl/draw/texture_cache.h"
#include "platform/sdl/text/font_cache.h"
#include "platform/sdl/text/font_finder.h"

namespace qs {

// Opens the faces asked for (the standard ones in SdlPainter::create). On
// failure returns nothing and `error` names the packages to install.
std::unique_ptr<SdlPainter> makeSdlPainter(const std::string& programName, const std::string& programDir,
                                           const std::vector<FaceRequest>& faces, std::string& error);

class SdlPainter::FaceSearch {
 public:
  FaceSearch(std::vector<FaceRequest> wanted, std::string memoFile);
  ~FaceSearch();
  FaceSearch(const FaceSearch&) = delete;
  FaceSearch& operator=(const FaceSearch&) = delete;

  // The remembered faces, or else waits for the search, which remembers what
  // it finds; nothing, with `error` set, when a face is missing.
  std::optional<FaceTable> result(std::string& error);
  // Once the first frame is up: remembered faces are looked up again on a
  // thread of their own, and remembered anew for the next start when the
  // fonts installed or their configuration have changed since. Once; the
  // destructor waits for it.
  void check();

 private:
  std::optional<FaceTable> searchAndRemember(std::string& error) const;

  const std::vector<FaceRequest> wanted_;
  const std::string memo_;
  std::optional<FaceTable> recalled_;
  std::string error_;
  std::future<std::optional<FaceTable>> found_;
  std::future<void> checked_;
};

// Holds SDL_ttf open for as long as the painter lives.
class TtfSession {
 public:
  TtfSession() : ok_(TTF_Init() == 0) {}
  ~TtfSession() {
    if (ok_) TTF_Quit();
  }
  TtfSession(const TtfSession&) = delete;
  TtfSession& operator=(const TtfSession&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

// Draws a form: background, printed text, then the elements from the bottom
// of the stacking to the top, boxes clipping what they hold.
class SdlFormPainter final : public SdlPainter, private TextMeasurer {
 public:
  SdlFormPainter(std::string programName, std::string programDir, FaceTable faces);

  void paint(SDL_Renderer* renderer, const Form& form, int scale, const Rect* area = nullptr) override;
  void paintParts(SDL_Renderer* renderer, const Form& form, int scale, const std::vector<Rect>& parts) override;
  bool writePng(const Form& f, const std::string& file, int scale, std::string& error) override;
  TextMeasurer& measurer() override { return *this; }
  std::optional<std::string> pictureName(const Form& form, int scale) override;
  void release() override;

  bool ready() const { return ttf_.ok(); }
  FontCache& fonts() { return fonts_; }
  const TextureCache& textures() const { return textures_; }
  const PartTiles& tiles() const { return tiles_; }

 private:
  int textWidth(const Font& font, std::string_view text) override;
  int lineHeight(const Font& font) override;

  // Positions are pixels at scale 1 with `ox`, `oy` the container's origin on
  // the form; `clip` is in drawn (scaled) pixels.
  void drawContainer(const Container& c, int ox, int oy, const SDL_Rect& clip);
  void drawPrinted(const Container& c, int ox, int oy, const SDL_Rect& clip);
  void drawLabel(const Label& l, const SDL_Rect& area, const SDL_Rect& clip);
  void drawImage(const Image& i, const SDL_Rect& area, const SDL_Rect& clip);
  void drawShape(const Shape& s, const SDL_Rect& area, const SDL_Rect& clip);
  void fill(const SDL_Rect& r, Color c);
  // One line of text drawn, cropped to its ink, made once and kept; nothing
  // for a line of blanks.
  const Drawing* line(const Font& font, Color fore, const std::string& drawn);
  const Drawing* narrowed(const Font& font, Color fore, const std::string& drawn, int width, int height);
  std::string lineKey(const Font& font, Color fore, const std::string& drawn);
  Drawing render(const Font& font, Color fore, const std::string& drawn);
  // A texture of the ink of a line `width` wide that `write(pixels, pitch)` puts in it.
  Drawing inked(const SDL_Rect& ink, int width, const std::function<void(void*, int)>& write);
  // Draws one printed line of text with its left edge at x and its top at y, drawn pixels.
  void drawLine(const Font& font, Color fore, const std::string& drawn, int x, int y);
  // The drawn lines of a caption (see wrapLines).
  const std::vector<std::string>& layout(const Font& font, const std::string& caption, int maxWidth, int keepWhole);
  SDL_Rect scaled(int left, int top, int width, int height) const;

  TtfSession ttf_;  // first, so it closes last
  FontCache fonts_;
  PictureCache pictures_;
  TextureCache textures_;
  PartTiles tiles_;
  // The lines a caption wraps into, by font, width and caption: they hold for
  // every colour and renderer, and save measuring every word again.
  std::unordered_map<std::string, std::vector<std::string>> layouts_;
  SDL_Renderer* renderer_ = nullptr;  // while painting
  int scale_ = 1;
};

}  // namespace qs
