#pragma once
#include <SDL.h>

#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/painter.h"

namespace qs {

// Draws forms with SDL2 and SDL2_ttf: text is rendered at the scaled size, so
// it stays sharp at every window scale; pictures are stretched with sharp pixels.
class SdlPainter : public FormPainter {
 public:
  // Finds the faces through fontconfig and opens them. On failure returns
  // nothing and `error` says which Debian package to install. Pictures come
  // from `programDir`; those that cannot be shown are named on standard error
  // after `programName`.
  static std::unique_ptr<SdlPainter> create(const std::string& programName, const std::string& programDir,
                                            std::string& error);

  // The same with the faces remembered in `memoFile` at the last start (see
  // face_memo.h), or else looked for ahead, on a thread of their own:
  // fontconfig reads its configuration and caches while the display opens.
  class FaceSearch;
  static std::unique_ptr<FaceSearch> searchAhead(std::string memoFile);
  static std::unique_ptr<SdlPainter> create(const std::string& programName, const std::string& programDir,
                                            FaceSearch& search, std::string& error);

  // Draws the form's client area at the given integer scale: all of it, or
  // only `area` (client pixels at scale 1) over what the renderer still holds.
  virtual void paint(SDL_Renderer* renderer, const Form& form, int scale, const Rect* area = nullptr) = 0;
  // The same for several parts (see Form::damageParts), as one frame.
  virtual void paintParts(SDL_Renderer* renderer, const Form& form, int scale, const std::vector<Rect>& parts) = 0;
  // A name for the whole picture of the form at the scale, the same in every
  // run for the same picture and never for another; nothing when that cannot
  // be told (see FirstFrameMemo).
  virtual std::optional<std::string> pictureName(const Form&, int) { return std::nullopt; }
  // Closes the fonts and frees the text kept so far, to be opened and made
  // again as they are next drawn: a window gone leaves its sizes unused.
  virtual void release() {}
};

}  // namespace qs
