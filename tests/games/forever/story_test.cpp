#include <gtest/gtest.h>

#include "games/forever/form_end.h"
#include "games/forever/form_first.h"
#include "qspe/menu.h"
#include "support/stand_in_scene.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

using Values = std::vector<TraceView::Value>;

// Where both story scenes lead: a plain window named as the Forever shooter.
class ForeverShooter : public Form {
 public:
  ForeverShooter() : Form("FormQF") {}
  void design() override { setClientSize(10, 10); }
};

class Story : public ::testing::Test {
 protected:
  explicit Story(HeadlessRun::Setup setup = {}) : run(std::move(setup)) {
    run.add<FormFirst>();
    run.add<FormEnd>();
    run.add<ForeverShooter>();
  }
  TraceView play(const std::string& start, const std::string& script) { return run.run(start, script); }
  // Alternates `a` and `b` every 250 ms from `from`, `n` values.
  static Values alternating(std::int64_t from, const std::string& a, const std::string& b, int n) {
    Values v;
    for (int i = 0; i < n; ++i) v.push_back({from + 250 * i, i % 2 ? b : a});
    return v;
  }
  // The first dump of `path` begins with these properties.
  static void expectDump(const TraceView& t, const std::string& path, const std::string& props) {
    EXPECT_EQ(t.dumpOf(path).rfind(path + " " + props, 0), 0u) << t.dumpOf(path);
  }
  static std::string line(const char* array, int i) { return std::string(array) + "(" + std::to_string(i) + ")"; }

  HeadlessRun run;
};

// ---- the intro ----

TEST_F(Story, IntroShowsItsLinesOneAndAHalfSecondsApart) {
  auto t = play("FormFirst", "0 dump\n15000 quit\n");
  expectDump(t, "FormFirst", "caption=\"Emergency!!!\" visible=1 width=3420 height=4350 back=#000000");
  expectDump(t, "FormFirst.Label2(0)",
             "caption=\"緊急事態発生！！\" visible=0 left=0 top=840 width=3255 height=255 fore=#FFFFFF "
             "font=\"MS P Gothic\" size=11.25 bold=0 italic=0");
  for (int k = 0; k < FormFirst::kLines; ++k)
    EXPECT_EQ(t.values("FormFirst." + line("Label2", k), "visible"), (Values{{1500 * (k + 1), "1"}})) << k;
}

TEST_F(Story, IntroFlashesRedAndBlackAndBlinksThePromptFromTheFirstTick) {
  auto t = play("FormFirst", "1300 quit\n");
  EXPECT_EQ(t.values("FormFirst.txtPushKey", "visible"), alternating(250, "1", "0", 5));
  EXPECT_EQ(t.values("FormFirst", "back"), alternating(500, "#FF0000", "#000000", 4));
  EXPECT_EQ(t.values("FormFirst.txtCaution", "fore"), alternating(500, "#000000", "#FF0000", 4));
}

// The flash keeps its phase from one visit to the next: after an odd number
// of ticks the next visit turns red on its first tick.
class IntroRevisit : public Story, public ::testing::WithParamInterface<int> {};

TEST_P(IntroRevisit, StartsInThePhaseTheLastVisitLeft) {
  const int ticks = GetParam();
  const std::int64_t skip = 250 * ticks + 5, again = 5000;
  run.at(again, [this] {
    run.rt().show(run.rt().form("FormFirst"));
    run.rt().unload(run.rt().form("FormQF"));
  });
  auto t = play("FormFirst", std::to_string(skip) + " down Z\n" + std::to_string(skip + 20) + " up Z\n6000 quit\n");
  ASSERT_TRUE(t.has("5000 load FormFirst")) << t.dump();
  EXPECT_EQ(t.first("set FormFirst back #FF0000", again), again + (ticks % 2 ? 250 : 500));
}

INSTANTIATE_TEST_SUITE_P(Ticks, IntroRevisit, ::testing::Values(1, 2));

// Z held leaves at the next 10 ms poll, also when held as the intro comes up.
struct Skip {
  const char* name;
  const char* script;
  std::int64_t leaves;
};
std::string skipName(const ::testing::TestParamInfo<Skip>& p) { return p.param.name; }
class IntroSkip : public Story, public ::testing::WithParamInterface<Skip> {};

TEST_P(IntroSkip, ZHeldLeavesForTheForeverShooter) {
  const std::string at = std::to_string(GetParam().leaves);
  auto t = play("FormFirst", std::string(GetParam().script) + "20000 quit\n");
  EXPECT_TRUE(t.inOrder({at + " unload FormFirst", at + " load FormQF", at + " show FormQF"})) << t.dump();
  EXPECT_EQ(t.count("unload FormFirst"), 1);
}

INSTANTIATE_TEST_SUITE_P(Moments, IntroSkip,
                         ::testing::Values(Skip{"HeldAsItComesUp", "0 down Z\n", 10},
                                           Skip{"TappedBetweenPolls", "4003 down Z\n4030 up Z\n", 4010}),
                         skipName);

// From the menu with five clears: the Z that picks entry 5 is still held
// when the intro comes up, and its first key repeat leaves the intro.
class IntroFromMenu : public Story {
 protected:
  IntroFromMenu() : Story(withFiveClears()) {}
  static HeadlessRun::Setup withFiveClears() {
    ScoreRecord rec;
    rec.clearQB = rec.clearQBL = rec.clearQBF = rec.clearQRB = rec.clearQS = kTrue;
    HeadlessRun::Setup s;
    s.scores = bytesOf(rec.toBytes());
    return s;
  }
};

TEST_F(IntroFromMenu, ZHeldFromTheMenuLeavesAtItsFirstRepeat) {
  run.rt().addForm(std::make_unique<FormMain>(run.services()));
  for (int i = 0; i < pendingGameCount(); ++i)
    if (!run.rt().hasForm(pendingGames()[i].name))
      run.rt().addForm(std::make_unique<PendingGameScene>(pendingGames()[i], run.services()));
  std::string s;
  for (int at = 100; at < 600; at += 100)
    s += std::to_string(at) + " down Right\n" + std::to_string(at + 10) + " up Right\n";
  auto t = play("FormMain", s + "700 down Z\n1200 repeat Z\n1300 quit\n");
  EXPECT_TRUE(t.inOrder({"700 show FormFirst", "700 hide FormMain", "1200 key FormFirst repeat Z",
                         "1200 unload FormFirst", "1200 load FormQF", "1200 show FormQF"}))
      << t.dump();
}

// ---- the epilogue ----

TEST_F(Story, EpilogueLinesComeThreeSecondsApartAndGiveWayToFinAt39s) {
  auto t = play("FormEnd", "0 dump\n40300 quit\n");
  expectDump(t, "FormEnd", "caption=\"Epilogue\" visible=1 width=3420 height=4350 back=#000000");
  expectDump(t, "FormEnd.LabelFin",
             "caption=\"Fin...\" visible=0 left=120 top=960 width=3135 height=1335 fore=#FFFFFF "
             "font=\"ＭＳ Ｐ明朝\" size=72 bold=1 italic=1");
  for (int k = 0; k < 12; ++k)
    EXPECT_EQ(t.values("FormEnd." + line("txtEpi", k), "visible"), (Values{{3000 * (k + 1), "1"}, {39000, "0"}})) << k;
  // The tick that shows the last line hides it again for "Fin...".
  EXPECT_EQ(t.values("FormEnd.txtEpi(12)", "visible"), (Values{{39000, "1"}, {39000, "0"}}));
  EXPECT_TRUE(t.values("FormEnd.txtEpi(13)", "visible").empty());
  EXPECT_EQ(t.values("FormEnd.LabelFin", "visible"), (Values{{39000, "1"}}));
  EXPECT_EQ(t.values("FormEnd.PushKey", "visible"), alternating(39250, "1", "0", 5));
}

// Z does nothing before "Fin..." shows; after it Z returns to the Forever
// shooter, and so does a Z held from before, at the first poll.
class EpilogueZ : public Story, public ::testing::WithParamInterface<Skip> {};

TEST_P(EpilogueZ, LeavesOnlyOnceFinIsShown) {
  const std::string at = std::to_string(GetParam().leaves);
  auto t = play("FormEnd", std::string(GetParam().script) + "40100 quit\n");
  EXPECT_EQ(t.count("unload FormEnd"), 1);
  EXPECT_TRUE(t.inOrder(
      {"39000 set FormEnd.LabelFin visible 1", at + " unload FormEnd", at + " load FormQF", at + " show FormQF"}))
      << t.dump();
}

INSTANTIATE_TEST_SUITE_P(Presses, EpilogueZ,
                         ::testing::Values(Skip{"PressedBeforeAndAfterFin",
                                                "100 down Z\n110 up Z\n38000 down Z\n38990 up Z\n40000 down Z\n",
                                                40000},
                                           Skip{"HeldFromBeforeFin", "20000 down Z\n", 39000}),
                         skipName);

}  // namespace
}  // namespace qs::test
