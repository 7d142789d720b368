#include "platform/sdl/draw/form_painter.h"

#include <cmath>
#include <cstdio>

#include "platform/sdl/draw/part_tiles.h"
#include "platform/sdl/text/bold_glyph.h"
#include "platform/sdl/text/face_memo.h"
#include "platform/sdl/text/label_layout.h"
#include "platform/sdl/text/symbol_line.h"
#include "platform/sdl/text/text_ink.h"
#include "platform/sdl/video/png_shot.h"
#include "runtime/fonts.h"
#include "runtime/form.h"

namespace qs {
namespace {

constexpr std::size_t kMaxLayouts = 512;
// Changes whenever the same form is drawn otherwise, so that a first frame
// kept by an earlier build is not shown.
constexpr const char* kDrawing = "drawing 2";

bool intersect(const SDL_Rect& a, const SDL_Rect& b, SDL_Rect& out) { return SDL_IntersectRect(&a, &b, &out); }

std::unique_ptr<SdlPainter> painterFor(const std::string& programName, const std::string& programDir,
                                       std::optional<FaceTable> table, std::string& error) {
  if (!table) return nullptr;
  auto painter = std::make_unique<SdlFormPainter>(programName, programDir, std::move(*table));
  if (!painter->ready()) {
    error = std::string("cannot start SDL_ttf: ") + TTF_GetError();
    return nullptr;
  }
  return painter;
}

}  // namespace

std::unique_ptr<SdlPainter> makeSdlPainter(const std::string& programName, const std::string& programDir,
                                           const std::vector<FaceRequest>& faces, std::string& error) {
  return painterFor(programName, programDir, findFaces(faces, error), error);
}

std::unique_ptr<SdlPainter> SdlPainter::create(const std::string& programName, const std::string& programDir,
                                               std::string& error) {
  return makeSdlPainter(programName, programDir, standardFaces(), error);
}

SdlPainter::FaceSearch::FaceSearch(std::vector<FaceRequest> wanted, std::string memoFile)
    : wanted_(std::move(wanted)), memo_(std::move(memoFile)) {
  if (!memo_.empty()) recalled_ = recallFaces(memo_, wanted_);
  if (!recalled_) found_ = std::async(std::launch::async, [this] { return searchAndRemember(error_); });
}

SdlPainter::FaceSearch::~FaceSearch() {
  if (found_.valid()) found_.wait();
  if (checked_.valid()) checked_.wait();
}

std::optional<FaceTable> SdlPainter::FaceSearch::searchAndRemember(std::string& error) const {
  std::optional<FaceTable> table = findFaces(wanted_, error);
  if (table) rememberFaces(memo_, wanted_, *table);
  return table;
}

std::optional<FaceTable> SdlPainter::FaceSearch::result(std::string& error) {
  if (recalled_) return recalled_;
  std::optional<FaceTable> table = found_.get();
  if (!table) error = error_;
  return table;
}

void SdlPainter::FaceSearch::check() {
  if (!recalled_ || checked_.valid()) return;
  checked_ = std::async(std::launch::async, [this] {
    std::string error;
    std::optional<FaceTable> table = findFaces(wanted_, error);
    if (!table) std::remove(memo_.c_str());  // the next start looks for itself, and says what is missing
    else if (*table != *recalled_) rememberFaces(memo_, wanted_, *table);
  });
}

std::unique_ptr<SdlPainter::FaceSearch> SdlPainter::searchAhead(std::string memoFile) {
  return std::make_unique<FaceSearch>(standardFaces(), std::move(memoFile));
}

std::unique_ptr<SdlPainter> SdlPainter::create(const std::string& programName, const std::string& programDir,
                                               FaceSearch& search, std::string& error) {
  return painterFor(programName, programDir, search.result(error), error);
}

SdlFormPainter::SdlFormPainter(std::string programName, std::string programDir, FaceTable faces)
    : fonts_(std::move(faces)), pictures_(std::move(programDir), std::move(programName)) {}

std::optional<std::string> SdlFormPainter::pictureName(const Form& form, int scale) {
  // A picture file may change between runs, unlike the fonts' files, whose
  // sizes and times the name holds.
  for (const auto& e : form.children())
    if (e->visible() && e->kind() == Element::Kind::Image) return std::nullopt;
  const int s = std::max(1, scale);
  std::optional<std::string> name =
      PartTiles::drawingOf(form, s, SDL_Rect{0, 0, form.clientWidth() * s, form.clientHeight() * s});
  if (!name) return std::nullopt;
  const SDL_version* ttf = TTF_Linked_Version();
  int major = 0, minor = 0, patch = 0;
  TTF_GetFreeTypeVersion(&major, &minor, &patch);
  *name += "\x1eSDL_ttf " + std::to_string(ttf->major) + '.' + std::to_string(ttf->minor) + '.' +
           std::to_string(ttf->patch) + " FreeType " + std::to_string(major) + '.' + std::to_string(minor) + '.' +
           std::to_string(patch) + '\x1e' + faceFilesSignature(fonts_.faces()) + '\x1e' + kDrawing;
  return name;
}

void SdlFormPainter::release() {
  fonts_.closeAll();
  textures_.clear();
  layouts_.clear();
}

int SdlFormPainter::textWidth(const Font& font, std::string_view text) {
  TTF_Font* f = fonts_.get(font, 1);
  int w = 0, h = 0;
  if (!f || text.empty() || TTF_SizeUTF8(f, fonts_.drawnText(font, text).c_str(), &w, &h) != 0) return 0;
  return w;
}

int SdlFormPainter::lineHeight(const Font& font) {
  TTF_Font* f = fonts_.get(font, 1);
  return f ? TTF_FontHeight(f) : 0;
}

bool SdlFormPainter::writePng(const Form& f, const std::string& file, int scale, std::string& error) {
  return writeFormPng(*this, f, file, scale, error);
}

SDL_Rect SdlFormPainter::scaled(int left, int top, int width, int height) const {
  return SDL_Rect{left * scale_, top * scale_, width * scale_, height * scale_};
}

void SdlFormPainter::paint(SDL_Renderer* renderer, const Form& form, int scale, const Rect* area) {
  if (!area) return paintParts(renderer, form, scale, {});
  paintParts(renderer, form, scale, {*area});
}

// No parts: the whole form.
void SdlFormPainter::paintParts(SDL_Renderer* renderer, const Form& form, int scale, const std::vector<Rect>& parts) {
  renderer_ = renderer;
  scale_ = std::max(1, scale);
  textures_.begin(renderer);
  // The frame is closed even when a scene's fault (a face no font stands in
  // for) stops the drawing.
  struct FrameEnd {
    SdlFormPainter& p;
    ~FrameEnd() {
      SDL_RenderSetClipRect(p.renderer_, nullptr);
      p.textures_.end();
      p.renderer_ = nullptr;
    }
  } frameEnd{*this};
  const SDL_Rect whole = scaled(0, 0, form.clientWidth(), form.clientHeight());
  if (parts.empty()) {
    fill(whole, form.back());
    drawContainer(form, 0, 0, whole);
  }
  for (const Rect& part : parts) {
    SDL_Rect clip;
    if (!intersect(scaled(part.left, part.top, part.width, part.height), whole, clip)) continue;
    const std::optional<std::string> tile = PartTiles::nameOf(form, scale_, clip);
    if (tile && tiles_.draw(textures_, renderer_, *tile, clip)) continue;
    fill(clip, form.back());
    drawContainer(form, 0, 0, clip);
    if (tile) tiles_.drawn(textures_, renderer_, *tile, clip);
  }
}

void SdlFormPainter::drawContainer(const Container& c, int ox, int oy, const SDL_Rect& clip) {
  drawPrinted(c, ox, oy, clip);
  const auto& kids = c.children();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    const Element& e = **it;
    if (!e.visible()) continue;
    const SDL_Rect area = drawnArea(c, e, ox, oy, scale_);
    switch (e.kind()) {
      case Element::Kind::Label: drawLabel(static_cast<const Label&>(e), area, clip); break;
      case Element::Kind::Image: drawImage(static_cast<const Image&>(e), area, clip); break;
      case Element::Kind::Shape: drawShape(static_cast<const Shape&>(e), area, clip); break;
      case Element::Kind::Box: {
        const auto& box = static_cast<const Box&>(e);
        SDL_Rect inner;
        if (!intersect(area, clip, inner)) break;
        fill(inner, box.back());
        drawContainer(box, area.x / scale_, area.y / scale_, inner);
        break;
      }
    }
  }
}

void SdlFormPainter::drawPrinted(const Container& c, int ox, int oy, const SDL_Rect& clip) {
  if (c.printed().empty()) return;
  SDL_RenderSetClipRect(renderer_, &clip);
  for (const PrintedRun& run : c.printed()) {
    if (run.text.empty()) continue;
    drawLine(run.font, run.fore, fonts_.drawnText(run.font, run.text), (ox + run.x) * scale_, (oy + run.y) * scale_);
  }
}

void SdlFormPainter::fill(const SDL_Rect& r, Color c) {
  SDL_RenderSetClipRect(renderer_, nullptr);
  SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
  SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
  SDL_RenderFillRect(renderer_, &r);
}

const std::vector<std::string>& SdlFormPainter::layout(const Font& font, const std::string& caption, int maxWidth,
                                                       int keepWhole) {
  std::string key = fonts_.key(font, scale_) + '\x1f' + std::to_string(maxWidth) + '\x1f' + std::to_string(keepWhole) +
                    '\x1f' + caption;
  if (auto it = layouts_.find(key); it != layouts_.end()) return it->second;
  if (layouts_.size() >= kMaxLayouts) layouts_.clear();
  TTF_Font* f = fonts_.get(font, scale_);
  // A symbol caption breaks where its codes do (at blanks), not between the
  // pictographs they stand for.
  auto widthOf = [&](std::string_view s) {
    int w = 0, h = 0;
    if (!f || s.empty() || TTF_SizeUTF8(f, fonts_.drawnText(font, s).c_str(), &w, &h) != 0) return 0;
    return w;
  };
  std::vector<std::string> lines = wrapLines(caption, maxWidth, widthOf, keepWhole);
  for (std::string& l : lines) l = fonts_.drawnText(font, l);
  return layouts_.emplace(std::move(key), std::move(lines)).first->second;
}

// The font, the colour's three bytes, the text.
std::string SdlFormPainter::lineKey(const Font& font, Color fore, const std::string& drawn) {
  std::string key = fonts_.key(font, scale_);
  key += {'\x1f', static_cast<char>(fore.r), static_cast<char>(fore.g), static_cast<char>(fore.b)};
  return key += drawn;
}

const Drawing* SdlFormPainter::line(const Font& font, Color fore, const std::string& drawn) {
  if (drawn.empty()) return nullptr;
  const std::string key = lineKey(font, fore, drawn);
  const Drawing* d = textures_.find(key);
  // A line that cannot be drawn is kept too, and not tried at every frame.
  if (!d) d = &textures_.keep(key, render(font, fore, drawn));
  return d->texture ? d : nullptr;
}

// A narrowed line stretched once, as the software renderer stretches it in
// each copy, and kept at the size it is drawn: stretching it at every frame
// took a third of the sword game's time. Other renderers' textures cannot be
// read back: there this gives none, and the line is stretched in each copy.
const Drawing* SdlFormPainter::narrowed(const Font& font, Color fore, const std::string& drawn, int width, int height) {
  std::string key = lineKey(font, fore, drawn);
  const Drawing* whole = textures_.find(key);
  key += '\x1e' + std::to_string(width) + 'x' + std::to_string(height);
  if (const Drawing* d = textures_.find(key)) return d->texture ? d : nullptr;
  SDL_RendererInfo info{};
  if (!whole || SDL_GetRendererInfo(renderer_, &info) != 0 || !(info.flags & SDL_RENDERER_SOFTWARE)) return nullptr;
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(whole->texture, nullptr, &pixels, &pitch) != 0) return nullptr;
  SurfacePtr from(
      SDL_CreateRGBSurfaceWithFormatFrom(pixels, whole->ink.w, whole->ink.h, 32, pitch, SDL_PIXELFORMAT_ARGB8888));
  SurfacePtr to(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
  const bool stretched = from && to && SDL_SoftStretchLinear(from.get(), nullptr, to.get(), nullptr) == 0;
  SDL_UnlockTexture(whole->texture);
  if (!stretched) return nullptr;
  const SDL_Rect ink{0, 0, width, height};
  const Drawing& kept =
      textures_.keep(key, inked(ink, width, [&](void* out, int outPitch) { copyInk(to.get(), ink, out, outPitch); }));
  return kept.texture ? &kept : nullptr;
}

Drawing SdlFormPainter::render(const Font& font, Color fore, const std::string& drawn) {
  TTF_Font* f = fonts_.get(font, scale_);
  if (!f) return {};
  const SDL_Color colour{fore.r, fore.g, fore.b, 255};
  if (font.face == kSymbolFace) {
    const SymbolLine glyphs(fonts_, font, scale_, drawn, colour);
    return inked(glyphs.ink(), glyphs.width(), [&](void* pixels, int pitch) { glyphs.write(pixels, pitch); });
  }
  if (fonts_.syntheticBold(font) && isSingleCodePoint(drawn)) {
    Font regular = font;
    regular.bold = false;
    // Both stay open: the cache closes only its least recently used.
    TTF_Font* r = fonts_.get(regular, scale_);
    if (!r) return {};
    const BoldGlyph glyph(r, f, FontCache::pixelSize(font.size, scale_), drawn.c_str());
    if (!glyph.ok()) return {};
    return inked(glyph.ink(), glyph.width(),
                 [&](void* pixels, int pitch) { glyph.write(colour, glyph.ink(), pixels, pitch); });
  }
  SDL_Surface* whole = TTF_RenderUTF8_Blended(f, drawn.c_str(), colour);
  if (!whole) return {};
  const SDL_Rect ink = inkOf(whole);
  const Drawing d = inked(ink, whole->w, [&](void* pixels, int pitch) { copyInk(whole, ink, pixels, pitch); });
  SDL_FreeSurface(whole);
  return d;
}

Drawing SdlFormPainter::inked(const SDL_Rect& ink, int width, const std::function<void(void*, int)>& write) {
  return Drawing{ink.w > 0 ? textures_.texture(ink.w, ink.h, write) : nullptr, ink, width};
}

void SdlFormPainter::drawLine(const Font& font, Color fore, const std::string& drawn, int x, int y) {
  const Drawing* l = line(font, fore, drawn);
  if (!l) return;
  const SDL_Rect dst{x + l->ink.x, y + l->ink.y, l->ink.w, l->ink.h};
  SDL_RenderCopy(renderer_, l->texture, nullptr, &dst);
}

void SdlFormPainter::drawLabel(const Label& l, const SDL_Rect& area, const SDL_Rect& clip) {
  SDL_Rect visible;
  if (!intersect(area, clip, visible)) return;
  if (!l.transparent()) fill(visible, l.back());
  if (l.caption().empty()) return;
  TTF_Font* f = fonts_.get(l.font(), scale_);
  if (!f) return;
  int step = TTF_FontHeight(f);
  // The layout's own texts are narrowed where the stand-in face makes them a
  // little too wide; what the rules write (a score) is cut as it falls.
  const bool designed = l.caption() == l.designCaption();
  const std::vector<std::string>& lines = layout(l.font(), l.caption(), area.w, designed ? narrowingLimit(area.w) : 0);
  const Rect label{area.x, area.y, area.w, area.h};
  SDL_RenderSetClipRect(renderer_, &visible);
  int y = area.y;
  for (const std::string& text : lines) {
    if (y >= visible.y + visible.h) break;
    const Drawing* drawn = y + step > visible.y ? line(l.font(), l.fore(), text) : nullptr;
    y += step;
    if (!drawn) continue;
    const SDL_Rect& ink = drawn->ink;
    const Rect r = placeInk(label, y - step, l.align(), drawn->width, Rect{ink.x, ink.y, ink.w, ink.h},
                            lines.size() == 1, designed);
    const SDL_Rect dst{r.left, r.top, r.width, r.height};
    const Drawing* shown = dst.w == ink.w && dst.h == ink.h ? drawn : narrowed(l.font(), l.fore(), text, dst.w, dst.h);
    if (shown) {
      SDL_RenderCopy(renderer_, shown->texture, nullptr, &dst);
      continue;
    }
    if (!(drawn = line(l.font(), l.fore(), text))) continue;  // kept anew if the narrowed one took its place
    SDL_SetTextureScaleMode(drawn->texture, SDL_ScaleModeLinear);
    SDL_RenderCopy(renderer_, drawn->texture, nullptr, &dst);
    SDL_SetTextureScaleMode(drawn->texture, SDL_ScaleModeNearest);
  }
}

void SdlFormPainter::drawImage(const Image& i, const SDL_Rect& area, const SDL_Rect& clip) {
  SDL_Rect visible;
  if (!intersect(area, clip, visible)) return;
  const std::string key = "\x01picture\x1f" + i.picture();
  const Drawing* d = textures_.find(key);
  if (!d) {
    SDL_Surface* picture = pictures_.get(i.picture());
    if (!picture) return;
    SDL_Texture* t = textures_.texture(picture);
    // A picture the renderer cannot take is not converted again at every redraw.
    if (!t) return pictures_.refuse(i.picture(), SDL_GetError());
    d = &textures_.keep(key, Drawing{t, {0, 0, picture->w, picture->h}, picture->w});
  }
  SDL_RenderSetClipRect(renderer_, &visible);
  SDL_RenderCopy(renderer_, d->texture, nullptr, &area);
}

void SdlFormPainter::drawShape(const Shape& s, const SDL_Rect& area, const SDL_Rect& clip) {
  SDL_Rect visible;
  if (!intersect(area, clip, visible)) return;
  int t = std::min({scale_, area.w, area.h});
  SDL_Rect edges[4] = {
      {area.x, area.y, area.w, t},
      {area.x, area.y + area.h - t, area.w, t},
      {area.x, area.y, t, area.h},
      {area.x + area.w - t, area.y, t, area.h},
  };
  SDL_RenderSetClipRect(renderer_, &visible);
  SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
  Color c = s.border();
  SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
  SDL_RenderFillRects(renderer_, edges, 4);
}

}  // namespace qs
