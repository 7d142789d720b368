// A window is redrawn only where something changed, a part drawn before
// copied from the picture kept of it: what it shows must equal a full drawing
// of the new state. Changes closer together than a frame reach the screen
// together.
#include <sys/stat.h>

#include <array>
#include <chrono>
#include <thread>
#include <utility>

#include "paint_support.h"

namespace qs::test {
namespace {

// Each change drawn on its own, as its damage only, so that the damage of one
// never hides another's; what draws a line otherwise (its colour, its text)
// makes a drawing of its own. Also with the form centred in a larger window,
// as in full screen.
TEST_F(DummyVideo, DrawingOnlyTheDamageShowsWhatDrawingEverythingWould) {
  const int scale = 2;
  for (SDL_Point margin : {SDL_Point{0, 0}, SDL_Point{30, 20}}) {
    Sheet f(200, 150, Units::Pixels, Color::rgb(128, 0, 128));
    Label& under = f.label({"J", wingdings(40), Align::Centre, Color::rgb(64, 0, 64), {0, 0, 200, 100}});
    Label& moving = f.label({"Alpha", gothic(14, true), Align::Left, colors::white, {10, 10, 80, 24}});
    Label& blink = f.label({"Select Game!!", gothic(12, true), Align::Centre, colors::white, {20, 40, 160, 20}});
    Label& glyph = f.label({"J", wingdings(30, true), Align::Centre, Color::rgb(64, 0, 64), {150, 95, 50, 50}});
    Box& field = f.box({20, 70, 120, 70}, Color::rgb(0, 128, 0));
    Label& inBox = f.labelIn(field, {"R", wingdings(20, true), Align::Centre, colors::black, {0, 0, 33, 33}});
    const SDL_Rect picture{margin.x, margin.y, 200 * scale, 150 * scale};
    const DummyWindow w(picture.w + 2 * margin.x, picture.h + 2 * margin.y);
    ASSERT_TRUE(w.renderer) << SDL_GetError();
    SDL_RenderSetViewport(w.renderer, &picture);
    for (int i = 0; i < 2; ++i) painter().paint(w.renderer, f, scale);
    EXPECT_EQ(painter().textures().count(w.renderer), 5u) << "five lines, each drawn once and copied after";
    f.clearDirty();
    auto step = [&](const char* what) {
      ASSERT_TRUE(f.dirty() && !f.wholeDirty()) << what << ": label changes damage only their own places";
      painter().paintParts(w.renderer, f, scale, f.damageParts());
      SDL_RenderPresent(w.renderer);
      f.clearDirty();
      EXPECT_EQ(differingPixels(SDL_GetWindowSurface(w.window), draw(f, scale).get(), margin), 0)
          << what << " at " << margin.x << "," << margin.y;
    };
    const std::uint64_t before = painter().tiles().copies();
    for (int i = 0; i < 6; ++i) blink.setVisible(i % 2 == 1), step("blinking");
    EXPECT_GE(painter().tiles().copies() - before, 2u) << "the fifth and sixth blinks at least are copies";
    // Whatever changes over a part makes a picture of its own.
    under.setFore(Color::rgb(0, 64, 0)), step("the glyph under it recoloured");
    blink.setVisible(false), blink.setCaption("Push Z key"), blink.setVisible(true), step("another caption shown");
    blink.setVisible(false);
    EXPECT_TRUE(f.damage().width <= 160 + 4 && f.damage().height <= 20 + 4);
    step("hidden over the new glyph");
    moving.move(60, 40), moving.setCaption("Alpha 1"), step("moved and counted: its old place drawn again too");
    inBox.move(64, 32), step("moved inside a box");
    glyph.setCaption("K"), step("another pictograph");
    moving.move(10, 10), glyph.setCaption("J");
    ASSERT_EQ(f.damageParts().size(), 3u) << "far apart: the old and new places and the glyph, not what lies between";
    step("moved back and the first pictograph");

    // A part drawn alone reaches its last column and row, and no further:
    // here the left-top 30 x 20 of a label recoloured under it.
    Label& plate = f.label({"", gothic(9), Align::Left, colors::white, {150, 62, 40, 30}});
    plate.setTransparent(false), plate.setBack(colors::black), painter().paint(w.renderer, f, scale);
    plate.setBack(colors::white), painter().paintParts(w.renderer, f, scale, {Rect{150, 62, 30, 20}});
    SDL_RenderPresent(w.renderer);
    const SDL_Rect at{margin.x + 150 * scale, margin.y + 62 * scale, 40 * scale, 30 * scale};
    const Ink drawn = inkIn(SDL_GetWindowSurface(w.window), colors::black, at);
    EXPECT_TRUE(drawn.left == at.x && drawn.top == at.y && drawn.width() == 30 * scale &&
                drawn.height() == 20 * scale && drawn.count == 30 * 20 * scale * scale)
        << drawn.width() << " x " << drawn.height() << ", " << drawn.count << " pixels";
  }
}

// A strip of glyphs (smiling faces: round, their edges shaded) that slides one
// pixel a step.
class Strip : public Form {
 public:
  explicit Strip(std::string name) : Form(std::move(name), Units::Pixels) {}
  void design() override {
    setClientSize(120, 40);
    setDesignBack(Color::rgb(0, 0, 64));
    for (int i = 0; i < 6; ++i)
      place(tiles_[i], "Tile", {"J", wingdings(14, true), Align::Centre, colors::white, {i * 20, 10, 20, 20}}, i);
  }
  void step() {
    for (Label& t : tiles_) t.move((t.left() + 1) % 120, t.top());
  }

 private:
  std::array<Label, 6> tiles_;
};

class FrameCap : public DummyRun {
 protected:
  void SetUp() override {
    DummyRun::SetUp();
    if (IsSkipped()) return;
    strip_ = &start(std::make_unique<Strip>("Strip"));
    platform_->present({strip_});
    platform_->nextInput(0, platform_->wallNow());  // takes the window's own events
  }
  // Steps the strip until a change is left waiting for the next frame slot.
  bool leaveAFramePending() {
    for (int i = 0; i < 100; ++i) {
      strip_->step();
      platform_->present({strip_});
      if (strip_->dirty()) return true;
    }
    return false;
  }

  Strip* strip_ = nullptr;
};

TEST_F(FrameCap, ManyChangesWithinAFrameComeToTheScreenTogetherAndAHoldOrAnIdleLoopShowsThem) {
  const std::uint64_t before = platform_->frames();
  const std::int64_t start = platform_->wallNow();
  for (int i = 0; i < 200; ++i) strip_->step(), platform_->present({strip_});
  const std::int64_t took = platform_->wallNow() - start;
  EXPECT_LE(platform_->frames() - before, static_cast<std::uint64_t>(2 + took / 16)) << "in " << took << " ms";

  ASSERT_TRUE(leaveAFramePending());
  platform_->holdUntil(platform_->wallNow());
  EXPECT_FALSE(strip_->dirty());
  EXPECT_EQ(staleness(*platform_, *strip_), 0);

  // Nor does the loop idle with a frame waiting: nothing is due, and a key
  // pressed well after the frame slot ends the wait.
  ASSERT_TRUE(leaveAFramePending());
  std::thread player([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    SDL_Event key{SDL_KEYDOWN};
    key.key.keysym.sym = SDLK_z;
    SDL_PushEvent(&key);
  });
  auto e = platform_->nextInput(rt_->now(), kNever);
  player.join();
  ASSERT_TRUE(e && e->kind == InputEvent::Kind::KeyDown);
  EXPECT_EQ(staleness(*platform_, *strip_), 0);
}

TEST_F(FrameCap, AFormHiddenOrUnloadedBeforeItsFrameIsNotDrawn) {
  rt_->show(rt_->addForm(std::make_unique<Strip>("Other")));  // keeps the program running when the strip unloads
  for (auto leave : {&Runtime::hide, &Runtime::unload}) {
    rt_->show(*strip_);
    platform_->present({strip_});
    ASSERT_TRUE(leaveAFramePending());
    std::uint64_t before = platform_->frames();
    (rt_.get()->*leave)(*strip_);
    platform_->holdUntil(platform_->wallNow());
    EXPECT_EQ(platform_->frames(), before);
  }
}

// A start's first frame is the picture kept at the last start when all that
// draws it is the same, pixel for pixel what drawing it gives; any other is
// drawn, and kept in its turn.
TEST_F(DummyRun, TheFirstFrameIsThePictureKeptAtTheLastStartWhenItIsTheSame) {
  TempDir dir;
  const std::string memo = dir.file("first-frame");
  // A start showing the strip slid `moves` pixels: how many pixels of its
  // first frame differ from a fresh drawing.
  auto start = [&](int moves) {
    SdlPlatform platform(painter(), audio_, 2);
    platform.rememberFirstFrameIn(memo);
    Runtime rt(platform, trace_, RunConfig{});
    auto& strip = static_cast<Strip&>(rt.addForm(std::make_unique<Strip>("Strip")));
    rt.show(strip);
    for (int i = 0; i < moves; ++i) strip.step();
    platform.present({&strip});
    platform.holdUntil(platform.wallNow());
    return staleness(platform, strip, 2);
  };
  ino_t kept = 0;  // a picture drawn is kept anew: another file in the folder
  for (const auto& [moves, drawn] : {std::pair{0, true}, {0, false}, {3, true}, {3, false}}) {
    EXPECT_EQ(start(moves), 0) << moves;
    struct stat st {};
    const ino_t now = stat(memo.c_str(), &st) == 0 ? st.st_ino : 0;
    EXPECT_EQ(std::exchange(kept, now) != now, drawn)
        << moves << (drawn ? ": drawn, and kept" : ": the kept one shown");
  }
}

}  // namespace
}  // namespace qs::test
