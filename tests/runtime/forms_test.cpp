#include <gtest/gtest.h>

#include "runtime/fonts.h"
#include "runtime/keys.h"
#include "support/fixed_measurer.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

using Log = std::vector<std::string>;

// A scene in a pixel box, with a label array, to exercise the element model.
// X ends the program, Left shows the ship, Right unloads.
struct Field : Form {
  Field() : Form("Field") {}
  void design() override {
    setDesignCaption("Field");
    setClientSize(165, 265);
    place(Window, "Window", {0, 0, 2475, 3975}, Color::rgb(128, 128, 128), Units::Pixels);
    Window.place(Enemy, "Enemy", {"R", wingdings(27.75, true), Align::Centre, colors::black, {0, 0, 33, 33}});
    Window.place(Ship, "Myship", {">", wingdings(27.75, true), Align::Centre, colors::black, {64, 224, 33, 33}, false});
    addTimer(Tick, "Tick", 100, false, [] {});
  }
  void Form_Load() override {
    ++loads;
    Enemy[0].move(0, -32);
    for (int i = 1; i <= 2; ++i) Enemy.load(i), Enemy[i].zOrder(), Enemy[i].move(32 * i, -32);
  }
  void Form_KeyDown(int key) override {
    if (key == vbKeyX) app().end();
    if (key == vbKeyLeft) Ship.setVisible(true);
    if (key == vbKeyRight) unload();
  }
  void Form_Unload() override { ++unloads; }

  Box Window;
  LabelArray Enemy;
  Label Ship;
  Timer Tick;
  int loads = 0, unloads = 0;
};

// A second window that shows the field at a key, with a box 100 × 200 px at
// 100, 100 to print into and elements to blink: blinking what draws nothing
// (the menu's arrow at the first entry) redraws nothing.
struct Other : Form {
  Other() : Form("Other") {}
  void design() override {
    setClientSize(400, 400);
    place(Display, "Display", {1500, 1500, 1500, 3000}, colors::black, Units::Pixels);
    place(Empty, "Empty", {"", gothic(9), Align::Left, colors::white, {0, 0, 300, 300}});
    place(Backed, "Backed", {"", gothic(9), Align::Left, colors::white, {600, 0, 300, 300}});
    Backed.setTransparent(false);
    place(Worded, "Worded", {"≪", gothic(9), Align::Left, colors::white, {1200, 0, 300, 300}});
    place(Blank, "Blank", {0, 600, 300, 300}, "", true, 0);
    place(Pictured, "Pictured", {600, 600, 300, 300}, "ques1.bmp", true, 0);
  }
  void Form_Activate() override { ++activations; }
  void Form_KeyDown(int) override { app().show(app().form("Field")); }
  Box Display;
  Label Empty, Backed, Worded;
  Image Blank, Pictured;
  int activations = 0;
};

TEST(Forms, LabelArrayCopiesAreHiddenCopiesOfElementZeroAndZOrderIsTraced) {
  HeadlessRun run({.until = 0});
  run.add<Field>();
  auto t = run.run("Field", "0 dump\n");
  // A copy takes element 0's place: Enemy(1) lands above Enemy(0), already on
  // top; Enemy(2) lands below Enemy(1) and is brought up. The copy already
  // stands at -32.
  EXPECT_EQ(t.grep("0 zorder Field.Enemy"), Log{"0 zorder Field.Enemy(2)"});
  EXPECT_EQ(t.grep("set Field.Enemy(2)"), Log{"0 set Field.Enemy(2) left 64"});
  // The copies brought to the top come first, the design order after.
  EXPECT_EQ(t.dumpOrder("Field"), (Log{"Window", "Enemy(2)", "Enemy(1)", "Enemy(0)", "Myship"}));
  EXPECT_EQ(t.dumpOf("Field.Enemy(2)"),
            "Field.Enemy(2) caption=\"R\" visible=0 left=64 top=-32 width=33 height=33 "
            "fore=#000000 font=\"Wingdings\" size=27.75 bold=1 italic=0 align=centre");
  EXPECT_EQ(t.dumpOf("Field.Window"), "Field.Window visible=1 left=0 top=0 width=2475 height=3975 back=#808080");
  EXPECT_EQ(t.dumpOf("Field.Tick"), "Field.Tick interval=100 enabled=0");
}

// Only changes are traced; keys go to the active form alone; unloading the
// active form runs its Form_Unload, resets its design for the next load and
// hands activation back to the form shown before it. Unloading the last form,
// or its close button, ends the program after its Form_Unload; End stops at
// once without one.
TEST(Forms, ShowUnloadCloseAndEndInTheirOrder) {
  // clang-format off
  const struct {
    const char* start;
    std::string script;
    std::vector<std::string> inOrder;
    int loads, unloads, activations;  // of Field, Field, Other
    bool ended;
  } cases[] = {
      {"Field", "10 down Left\n20 down Left\n", {"10 set Field.Myship visible 1", "20 key Field down Left"}, 1, 0, 0, false},
      {"Other", "0 down Z\n5 up Z\n5 repeat 65\n", {"0 key Other down Z", "5 key Field up Z", "5 key Field repeat 65"},
       1, 0, 1, false},
      {"Other", "0 down Z\n10 down Left\n20 down Right\n30 down Z\n",
       {"20 unload Field", "20 activate Other", "30 key Other down Z", "30 load Field"}, 2, 1, 2, false},
      {"Field", "50 down Right\n60 down Left\n", {"50 unload Field", "50 end"}, 1, 1, 0, true},
      {"Field", "50 close Field\n60 down Left\n", {"50 unload Field", "50 end"}, 1, 1, 0, true},
      {"Field", "50 down X\n60 down Left\n", {"50 key Field down X", "50 end"}, 1, 0, 0, true}};
  // clang-format on
  for (const auto& c : cases) {
    HeadlessRun run({.until = 1000});
    auto& f = run.add<Field>();
    auto& o = run.add<Other>();
    auto t = run.run(c.start, c.script);
    EXPECT_TRUE(t.inOrder(c.inOrder)) << c.script;
    EXPECT_LE(t.count("set Field.Myship visible"), 1) << c.script;
    EXPECT_EQ(std::tuple(f.loads, f.unloads, o.activations), std::tuple(c.loads, c.unloads, c.activations)) << c.script;
    EXPECT_EQ(std::pair(run.rt().programEnded(), t.lines().back() == "50 end"), std::pair(c.ended, c.ended))
        << c.script;
    EXPECT_EQ(f.Ship.visible(), c.activations == 0 && !c.ended) << "back to its design state at the second load";
  }
}

bool covers(Rect outer, Rect inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.left + outer.width >= inner.left + inner.width &&
         outer.top + outer.height >= inner.top + inner.height;
}

// Showing or hiding what draws nothing redraws nothing; a caption put into a
// shown label does. A printed run moves the print position and redraws only
// its own place inside its surface.
TEST(Forms, RedrawsOnlyWhatChangesOnScreen) {
  FixedMeasurer fixed;
  HeadlessRun run({.until = 0, .painter = &fixed});
  auto& f = run.add<Other>();
  auto t = run.run("Other");
  const std::pair<Element*, bool> blinks[] = {
      {&f.Empty, false}, {&f.Backed, true}, {&f.Worded, true}, {&f.Blank, false}, {&f.Pictured, true}};
  for (auto [element, redraws] : blinks)
    for (bool shown : {false, true}) {
      f.clearDirty();
      element->setVisible(shown);
      EXPECT_EQ(f.dirty(), redraws) << element->name() << (shown ? " shown" : " hidden");
    }
  f.clearDirty();
  f.Empty.setCaption("≫");
  EXPECT_TRUE(f.dirty());
  const Rect box{100, 100, 100, 200}, nearBox{99, 99, 103, 203}, form{0, 0, 400, 400};
  // The surface, the text, a new line after it, where it lands in client
  // pixels, and the print position after it.
  // clang-format off
  const std::tuple<Container*, std::string, bool, Rect, int, int> cases[] = {
      {&f.Display, "ab", false, {100, 100, 20, 20}, 20, 0},
      {&f.Display, "c", true, {120, 100, 10, 20}, 0, 20},
      {&f.Display, "日本", false, {100, 120, 20, 20}, 20, 20},  // characters, not bytes
      {&f.Display, "0123456789AB", false, {120, 120, 80, 20}, 140, 20},  // past the right edge: clipped
      {&f, "Q", true, {0, 0, 10, 20}, 0, 20}};
  // clang-format on
  for (const auto& [surface, text, newline, run, nextX, nextY] : cases) {
    f.clearDirty();
    surface->setPrintFore(Color::rgb(1, 2, 3));
    surface->print(text, newline);
    const PrintedRun& printed = surface->printed().back();
    EXPECT_EQ(std::pair(printed.text, printed.fore), std::pair(text, Color::rgb(1, 2, 3)));
    EXPECT_EQ(std::pair(surface->currentX(), surface->currentY()), std::pair(nextX, nextY)) << text;
    ASSERT_FALSE(f.wholeDirty()) << text;
    const Rect damage = f.damage();
    EXPECT_TRUE(covers(damage, run) && damage.width < run.width + 10 && damage.height < run.height + 4 &&
                covers(surface == &f ? form : nearBox, damage))
        << text << " " << damage.left << "," << damage.top << " " << damage.width << "x" << damage.height;
  }
  f.clearDirty();
  f.Display.cls();
  EXPECT_TRUE(f.Display.printed().empty() && f.Display.currentX() == 0 && f.Display.currentY() == 0);
  EXPECT_TRUE(!f.wholeDirty() && covers(f.damage(), box));
  EXPECT_TRUE(t.inOrder({"0 print Other.Display \"ab\"", "0 print Other \"Q\"", "0 cls Other.Display"}));
}

}  // namespace
}  // namespace qs::test
