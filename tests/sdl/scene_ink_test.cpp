// Every label of every scene, with its layout's caption, drawn by the painter:
// the text shows whole inside the label, or narrowed to fill it, never cut.
#include <functional>
#include <set>

#include "app/qspe_program.h"
#include "paint_support.h"
#include "platform/sdl/draw/part_tiles.h"
#include "platform/sdl/text/label_layout.h"
#include "qscr/form_qscr.h"
#include "runtime/runtime.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

constexpr const char* kScenes[] = {"FormStartUp", "FormMain", "FormQB",    "FormQBL", "FormQBF", "FormQRB",
                                   "FormQS",      "FormSam",  "FormFirst", "FormQF",  "FormEnd"};

// The floor's "___" runs on under the next cell: cut by its label in the design too.
bool cutByDesign(const Label& l) { return l.form()->name() == "FormSam" && l.name().rfind("Stage", 0) == 0; }

// Black ink on white, `pad` pixels round the label.
constexpr int kPad = 8;

struct Drawn {
  explicit Drawn(const Sheet& sheet) : surface(draw(sheet)), ink(inkAll(surface.get(), colors::white)) {}
  SurfacePtr surface;
  Ink ink;
};

Drawn inLabel(const Label& scene, const SDL_Rect& r, const std::string& caption) {
  Sheet sheet(r.w + 2 * kPad, r.h + 2 * kPad);
  Label& l = sheet.label({});
  l.copyFrom(scene);
  l.move(kPad, kPad, r.w, r.h);
  l.setVisible(true), l.setFore(colors::black), l.setTransparent(true), l.setCaption(caption);
  return Drawn(sheet);
}

// The same line printed, where nothing cuts it.
Drawn printed(const Font& font, const std::string& caption) {
  const int line = painter().measurer().lineHeight(font);
  Sheet sheet(painter().measurer().textWidth(font, caption) + 2 * line, 2 * line);
  sheet.setPrintFont(font), sheet.setPrintFore(colors::black), sheet.print(caption, false);
  return Drawn(sheet);
}

// Whether `part` shows some window of `whole`, pixel for pixel: a line cut by its label.
bool isPieceOf(const Drawn& part, const Drawn& whole) {
  for (int dy = 0; dy <= whole.ink.height() - part.ink.height(); ++dy)
    for (int dx = 0; dx <= whole.ink.width() - part.ink.width(); ++dx) {
      bool same = true;
      for (int y = 0; same && y < part.ink.height(); ++y)
        for (int x = 0; same && x < part.ink.width(); ++x)
          same = pixel(part.surface.get(), part.ink.left + x, part.ink.top + y) ==
                 pixel(whole.surface.get(), whole.ink.left + dx + x, whole.ink.top + dy + y);
      if (same) return true;
    }
  return false;
}

using SceneInk = DummyVideo;

TEST_F(SceneInk, EveryCaptionOfEveryLabelShowsWholeOrNarrowedToItsLabel) {
  std::set<std::string> seen;
  // Each label's design caption, as loaded, once; `rect` in pixels.
  auto check = [&](const Label& l, const SDL_Rect& rect) {
    const std::string& caption = l.caption();
    if (caption.empty() || cutByDesign(l) || caption != l.designCaption() ||
        !seen.insert(l.form()->name() + l.name() + '\x1f' + caption).second)
      return;
    const Drawn whole = printed(l.font(), caption), shown = inLabel(l, rect, caption);
    const Ink &w = whole.ink, &in = shown.ink;
    ASSERT_TRUE(w.any()) << l.path() << " \"" << caption << '"';
    // Whole, or squeezed to the label's width or height (or both) from a little more, not cut.
    auto side = [](int shownSide, int wholeSide, int labelSide) {
      return shownSide == wholeSide || (shownSide == labelSide && wholeSide <= narrowingLimit(labelSide));
    };
    const bool same = in.width() == w.width() && in.height() == w.height();
    const bool narrowed =
        side(in.width(), w.width(), rect.w) && side(in.height(), w.height(), rect.h) && !isPieceOf(shown, whole);
    EXPECT_TRUE(same || narrowed) << l.path() << " \"" << caption << "\" at " << l.font().size << " pt in " << rect.w
                                  << " x " << rect.h << ": whole " << w.width() << " x " << w.height() << ", shown "
                                  << in.width() << " x " << in.height();
  };
  std::function<void(const Container&, int, int)> walk = [&](const Container& c, int ox, int oy) {
    for (const Element* e : c.children()) {
      const SDL_Rect r = drawnArea(c, *e, ox, oy, 1);
      if (e->kind() == Element::Kind::Box) walk(static_cast<const Box&>(*e), r.x, r.y);
      if (e->kind() == Element::Kind::Label) check(static_cast<const Label&>(*e), r);
    }
  };
  HeadlessRun run({.media = {"select.mid", "title.mid"}});
  run.load(makeQspe(run.rt(), run.audio()));
  FormQScr& saver = run.add<FormQScr>();
  std::vector<Form*> forms{&saver};
  for (const char* name : kScenes) forms.push_back(&run.rt().form(name));
  for (Form* f : forms) run.rt().load(*f), walk(*f, 0, 0);
  EXPECT_GT(seen.size(), 40u);
  // The saver prints its characters on the window, which cuts nothing but the screen's edges.
  for (const SaverCharacter& c : kSaverCharacters) {
    Sheet screen(saver.clientWidth(), saver.clientHeight());
    screen.setPrintFont(saver.printFont()), screen.print(c.glyph);
    const Ink ink = Drawn(screen).ink;
    EXPECT_TRUE(ink.any() && ink.right < screen.clientWidth() - 1 && ink.bottom < screen.clientHeight() - 1) << c.glyph;
  }
}

}  // namespace
}  // namespace qs::test
