#include <gtest/gtest.h>

#include <map>

#include "runtime/fonts.h"
#include "runtime/keys.h"
#include "runtime/random.h"
#include "support/fixed_measurer.h"
#include "support/scene_harness.h"

namespace qs::test {
namespace {

// A scene in a pixel box, with a label array, to exercise the element model.
class Field : public Form {
 public:
  Field() : Form("Field") {}
  void design() override {
    setDesignCaption("Field");
    setClientSize(165, 265);
    place(Window, "Window", {0, 0, 2475, 3975}, Color::rgb(128, 128, 128), Units::Pixels);
    Window.place(Enemy, "Enemy", {"R", wingdings(27.75, true), Align::Centre, colors::black, {0, 0, 33, 33}});
    Window.place(Ship, "Myship", {">", wingdings(27.75, true), Align::Centre, colors::black, {64, 224, 33, 33}, false});
    addTimer(Tick, "Tick", 100, false, [this] { ++ticks; });
  }
  void Form_Load() override {
    ++loads;
    Enemy[0].move(0, -32);
    for (int i = 1; i <= 2; ++i) {
      Enemy.load(i);
      Enemy[i].zOrder();
      Enemy[i].move(32 * i, -32);
    }
  }
  void Form_KeyDown(int key) override {
    if (key == vbKeyZ) Tick.setEnabled(true);
    if (key == vbKeyX) app().end();
    if (key == vbKeyLeft) Ship.setVisible(true);
    if (key == vbKeyRight) unload();
  }
  void Form_Unload() override { ++unloads; }

  Box Window;
  LabelArray Enemy;
  Label Ship;
  Timer Tick;
  int loads = 0, unloads = 0, ticks = 0;
};

// A second window that shows the field when it closes.
class Other : public Form {
 public:
  Other() : Form("Other") {}
  void design() override { setClientSize(10, 10); }
  void Form_Activate() override { ++activations; }
  void Form_KeyDown(int key) override {
    if (key == vbKeyZ) app().show(app().form("Field"));
  }
  int activations = 0;
};

TEST(Forms, LabelArrayCopiesAreHiddenCopiesOfElementZeroAndZOrderIsTraced) {
  HeadlessRun run({.until = 0});
  auto& f = run.add<Field>();
  run.run("Field", "0 dump\n");
  EXPECT_FALSE(f.Enemy[1].visible());
  EXPECT_EQ(f.Enemy[2].caption(), "R");
  EXPECT_EQ(f.Enemy[2].font().size, 27.75);
  // A copy takes element 0's place: Enemy(1) lands above Enemy(0), already on top;
  // Enemy(2) lands below Enemy(1) and is brought up.
  EXPECT_FALSE(run.has("0 zorder Field.Enemy(1)"));
  EXPECT_TRUE(run.has("0 zorder Field.Enemy(2)"));
  EXPECT_TRUE(run.has("0 set Field.Enemy(2) left 64"));
  EXPECT_FALSE(run.has("0 set Field.Enemy(2) top -32")) << "the copy already stands at -32";
  // Stacking in the dump: the copies brought to the top come first, the design order after.
  int e2 = run.indexOf("0 dump Field.Enemy(2) caption=\"R\" visible=0 left=64 top=-32 width=33 height=33 fore=#000000 "
                       "font=\"Wingdings\" size=27.75 bold=1 italic=0 align=centre");
  int e1 = run.indexOf("0 dump Field.Enemy(1) caption=\"R\" visible=0 left=32 top=-32 width=33 height=33 fore=#000000 "
                       "font=\"Wingdings\" size=27.75 bold=1 italic=0 align=centre");
  int ship = static_cast<int>(std::find_if(run.lines().begin(), run.lines().end(),
                                           [](auto& l) { return l.find("dump Field.Myship") != std::string::npos; }) -
                              run.lines().begin());
  ASSERT_GE(e2, 0) << run.dump();
  EXPECT_LT(e2, e1);
  EXPECT_LT(e1, ship);
  EXPECT_TRUE(run.has("0 dump Field.Window visible=1 left=0 top=0 width=2475 height=3975 back=#808080"));
  EXPECT_TRUE(run.has("0 dump Field.Tick interval=100 enabled=0"));
}

TEST(Forms, OnlyChangesAreTraced) {
  HeadlessRun run({.until = 20});
  run.add<Field>();
  run.run("Field", "10 down Left\n20 down Left\n");
  EXPECT_EQ(run.grep("set Field.Myship visible").size(), 1u) << run.dump();
}

TEST(Forms, UnloadRunsFormUnloadResetsTheDesignAndKeepsTheSceneVariables) {
  HeadlessRun run({.until = 100});
  auto& f = run.add<Field>();
  auto& o = run.add<Other>();
  run.run("Other", "0 down Z\n10 down Left\n20 down Right\n30 down Z\n");
  EXPECT_EQ(f.loads, 2);
  EXPECT_EQ(f.unloads, 1);
  EXPECT_FALSE(f.Ship.visible()) << "back to its design state at the second load";
  // Unloading the active form hands activation back to the form shown before it.
  int unload = run.indexOf("20 unload Field");
  ASSERT_GE(unload, 0) << run.dump();
  EXPECT_EQ(run.indexOf("20 activate Other", unload), unload + 1);
  EXPECT_EQ(o.activations, 2);
  EXPECT_FALSE(run.rt().programEnded());
}

TEST(Forms, UnloadingTheLastFormEndsTheProgramAndEndRunsNoUnload) {
  {
    HeadlessRun run({.until = 1000});
    auto& f = run.add<Field>();
    run.run("Field", "50 down Right\n60 down Left\n");
    EXPECT_EQ(f.unloads, 1);
    EXPECT_EQ(run.lines().back(), "50 end");
    EXPECT_TRUE(run.rt().programEnded());
  }
  {
    HeadlessRun run({.until = 1000});
    auto& f = run.add<Field>();
    run.run("Field", "50 down X\n60 down Left\n");
    EXPECT_EQ(f.unloads, 0);
    EXPECT_EQ(run.lines().back(), "50 end");
  }
}

TEST(Forms, TheCloseButtonUnloadsTheForm) {
  HeadlessRun run({.until = 1000});
  auto& f = run.add<Field>();
  run.run("Field", "70 close Field\n");
  EXPECT_EQ(f.unloads, 1);
  EXPECT_TRUE(run.has("70 unload Field"));
  EXPECT_TRUE(run.has("70 end"));
}

TEST(Forms, KeysGoToTheActiveFormOnly) {
  HeadlessRun run({.until = 100});
  run.add<Field>();
  run.add<Other>();
  run.run("Other", "0 down Z\n5 up Z\n5 repeat 65\n");
  EXPECT_TRUE(run.has("0 key Other down Z"));
  EXPECT_TRUE(run.has("5 key Field up Z"));
  EXPECT_TRUE(run.has("5 key Field repeat 65"));
}

// A box 100 × 200 px at 100, 100 of a twips form, to print into.
class Typed : public Form {
 public:
  Typed() : Form("Typed") {}
  void design() override {
    setClientSize(400, 400);
    place(Display, "Display", {1500, 1500, 1500, 3000}, colors::black, Units::Pixels);
  }
  Box Display;
};

bool covers(Rect outer, Rect inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.left + outer.width >= inner.left + inner.width &&
         outer.top + outer.height >= inner.top + inner.height;
}

TEST(Printing, ARunMovesThePrintPositionAndRedrawsOnlyItsOwnPlaceInsideItsSurface) {
  FixedMeasurer fixed;
  HeadlessRun run({.until = 0, .painter = &fixed});
  auto& f = run.add<Typed>();
  run.run("Typed");
  struct Case {
    Container* surface;
    std::string text;
    bool newline;
    Rect run;  // in client pixels
    int nextX, nextY;
  };
  const Rect box{100, 100, 100, 200}, nearBox{99, 99, 103, 203}, form{0, 0, 400, 400};
  const Case cases[] = {
      {&f.Display, "ab", false, {100, 100, 20, 20}, 20, 0},
      {&f.Display, "c", true, {120, 100, 10, 20}, 0, 20},
      {&f.Display, "日本", false, {100, 120, 20, 20}, 20, 20},  // characters, not bytes
      {&f.Display, "0123456789AB", false, {120, 120, 80, 20}, 140, 20},  // past the right edge: clipped
      {&f, "Q", true, {0, 0, 10, 20}, 0, 20},
  };
  for (const Case& c : cases) {
    f.clearDirty();
    c.surface->setPrintFore(Color::rgb(1, 2, 3));
    c.surface->print(c.text, c.newline);
    const PrintedRun& printed = c.surface->printed().back();
    EXPECT_EQ(printed.text, c.text);
    EXPECT_EQ(printed.fore, Color::rgb(1, 2, 3));
    EXPECT_EQ(c.surface->currentX(), c.nextX) << c.text;
    EXPECT_EQ(c.surface->currentY(), c.nextY) << c.text;
    ASSERT_FALSE(f.wholeDirty()) << c.text;
    Rect damage = f.damage();
    EXPECT_TRUE(covers(damage, c.run)) << c.text;
    EXPECT_LT(damage.width, c.run.width + 10) << c.text;
    EXPECT_LT(damage.height, c.run.height + 4) << c.text;
    EXPECT_TRUE(covers(c.surface == &f ? form : nearBox, damage)) << c.text;
  }
  f.clearDirty();
  f.Display.cls();
  EXPECT_TRUE(f.Display.printed().empty());
  EXPECT_EQ(f.Display.currentX(), 0);
  EXPECT_EQ(f.Display.currentY(), 0);
  EXPECT_FALSE(f.wholeDirty());
  EXPECT_TRUE(covers(f.damage(), box));
  EXPECT_TRUE(run.has("0 print Typed.Display \"ab\""));
  EXPECT_TRUE(run.has("0 print Typed \"Q\""));
  EXPECT_TRUE(run.has("0 cls Typed.Display"));
}

TEST(Random, RoundHalfEvenAndDropFraction) {
  EXPECT_EQ(roundHalfEven(0.5), 0);
  EXPECT_EQ(roundHalfEven(1.5), 2);
  EXPECT_EQ(roundHalfEven(2.5), 2);
  EXPECT_EQ(roundHalfEven(3.4999), 3);
  EXPECT_EQ(roundHalfEven(3.5), 4);
  EXPECT_EQ(dropFraction(8.999), 8);
  EXPECT_EQ(dropFraction(0.0), 0);
}

TEST(Random, RoundedDrawsGiveTheEndValuesHalfWeightAndTruncatedDrawsAreUniform) {
  Random r(12345);
  std::map<int, int> rounded, dropped;
  const int n = 200000;
  for (int i = 0; i < n; ++i) {
    double d = r.draw();
    ASSERT_GE(d, 0.0);
    ASSERT_LT(d, 1.0);
    ++rounded[roundHalfEven(d * 4)];
    ++dropped[dropFraction(d * 9)];
  }
  EXPECT_EQ(rounded.size(), 5u);
  EXPECT_NEAR(rounded[0] / double(n), 0.125, 0.005);
  EXPECT_NEAR(rounded[4] / double(n), 0.125, 0.005);
  for (int v = 1; v <= 3; ++v) EXPECT_NEAR(rounded[v] / double(n), 0.25, 0.006);
  EXPECT_EQ(dropped.size(), 9u);
  for (auto [v, c] : dropped) EXPECT_NEAR(c / double(n), 1.0 / 9, 0.005) << v;
}

TEST(Random, RandomizeTakesItsSeedFromTheRunSeedAndTheClock) {
  Random a(clockSeed(7, 1000)), b(clockSeed(7, 1000)), c(clockSeed(7, 1010)), d(clockSeed(8, 1000));
  double x = a.draw();
  EXPECT_EQ(x, b.draw());
  EXPECT_NE(x, c.draw());
  EXPECT_NE(x, d.draw());
}

TEST(Script, ParsesEveryLineKindAndNamesTheLineOfAnError) {
  Script s = parseScript("seed 42  # comment\n\n0 down Z\n250 up Left\n260 repeat 65\n3000 close FormQB\n"
                         "4000 move 100 200\n4100 click\n5000 dump\n5000 shot FormMain menu.png\n9000 quit\n");
  EXPECT_EQ(s.seed, 42u);
  ASSERT_EQ(s.events.size(), 9u);
  for (auto& e : s.events) EXPECT_EQ(parseScript(scriptLine(e)).events.at(0).kind, e.kind) << scriptLine(e);
  EXPECT_EQ(scriptLine(s.events[4]), "4000 move 100 200");
  auto lineOf = [](const std::string& text) {
    try {
      parseScript(text);
    } catch (const ScriptError& e) {
      return e.line;
    }
    return 0;
  };
  EXPECT_EQ(lineOf("0 down Z\n5 down Q\n"), 2);
  EXPECT_EQ(lineOf("0 down Z\n\n#x\n5 fly\n"), 4);
  EXPECT_EQ(lineOf("10 down Z\n5 up Z\n"), 2);
  EXPECT_EQ(lineOf("x down Z\n"), 1);
  EXPECT_EQ(lineOf("5 move 1\n"), 1);
  EXPECT_EQ(lineOf("seed\n"), 1);
  EXPECT_EQ(lineOf("5 down 300\n"), 1);
}

}  // namespace
}  // namespace qs::test
