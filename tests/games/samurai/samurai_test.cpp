#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>

#include "games/samurai/samurai_probe.h"
#include "qspe/score_record.h"
#include "runtime/random.h"
#include "support/files.h"
#include "support/headless_run.h"
#include "support/trace_view.h"

namespace qs::test {
namespace {

using P = SamuraiProbe;

// The menu as far as the sword game needs it: shown again when the game is left.
class MenuStub : public Form {
 public:
  MenuStub() : Form("FormMain") {}
  void design() override { setClientSize(282, 228); }
};

using Timed = TraceView::Value;

// FormSam in a program directory of its own without media (every sound lasts
// 0 ms), with a score record holding `best` when given.
class Sam {
 public:
  explicit Sam(std::optional<std::int32_t> best = std::nullopt, std::uint64_t seed = 1, std::int64_t until = kNever)
      : run_({.seed = seed, .until = until, .scores = record(best)}) {
    sam_ = &run_.add<FormSam>();
    run_.add<MenuStub>();
  }

  FormSam& sam() { return *sam_; }
  TraceView run() const { return run_.trace(); }
  Runtime& rt() { return run_.rt(); }

  // Runs `f` at time t, before the scene's timers due then.
  void at(std::int64_t t, std::function<void()> f) { run_.at(t, std::move(f)); }
  void play(const std::string& script) { run_.run("FormSam", script); }

  std::vector<std::int64_t> times(const std::string& what) const { return run().times(what); }
  std::int64_t first(const std::string& what, std::int64_t from = 0) const { return run().first(what, from); }
  // "T set FormSam.E P V" lines of one element (or of the form, for "") and property.
  std::vector<Timed> sets(const std::string& element, const std::string& prop) const {
    return run().values(element.empty() ? "FormSam" : "FormSam." + element, prop);
  }
  std::vector<std::string> valuesAt(const std::string& element, const std::string& prop, std::int64_t t) const {
    std::vector<std::string> out;
    for (const auto& s : sets(element, prop))
      if (s.at == t) out.push_back(s.value);
    return out;
  }

 private:
  static std::optional<Bytes> record(std::optional<std::int32_t> best) {
    if (!best) return std::nullopt;
    return bytesOf(ScoreRecord{.hiScoreSam = *best}.toBytes());
  }
  HeadlessRun run_;
  FormSam* sam_ = nullptr;
};

// Z pressed at 0: the first contact tick (10 ms) plays "start.wav" and starts.
const char* const kStart = "0 down Z\n20 up Z\n";
constexpr std::int64_t kStarted = 10;
// Cell 2 of every floor stands in the player's column (64) until the first
// scroll step, a second after the start; cell 3 in the sword's (96).
constexpr int kPlayerCell = 2;
constexpr int kSwordCell = 3;

// ---- layout and title ----

// The prompt blinks through its caption; Z starts once "start.wav" has ended;
// X is nothing in play and leaves after "end.wav" once the game is over.
TEST(SamuraiTitle, ZStartsXIsIgnoredInPlayAndLeavesAfterTheGame) {
  Sam g;
  g.at(2000, [&] { P::stageNo(g.sam()) = 3; });  // fallen: over on the next sword tick
  g.play(std::string(kStart) + "500 down X\n520 up X\n3000 down X\n3020 up X\n3100 quit\n");
  const TraceView run = g.run();
  EXPECT_TRUE(run.inOrder({
      "10 wav start.wav wait 0",
      "10 set FormSam.txtInfo caption \"刀:Z\"",
      "10 set FormSam.txtEvent caption \"\"",
      "10 set FormSam.Samurai caption \"J\"",
      "10 set FormSam.TimeGame enabled 1",
      "10 set FormSam.TimeKatana enabled 1",
      "2010 set FormSam.Samurai caption \"N\"",
      "2010 set FormSam.txtSam caption \"死\"",
      "2010 wav death.wav wait 0",
      "2010 set FormSam.txtTitle caption \"遊戯終焉\"",
      "2010 set FormSam.txtInfo caption \"開始:Z     終了:X\"",
      "2010 zorder FormSam.txtEvent",
      "2010 set FormSam.TimeGame enabled 0",
      "2010 wav gameover.wav wait 0",
      "3000 wav end.wav wait 0",
      "3000 unload FormSam",
      "3000 show FormMain",
  }));
  EXPECT_EQ(g.times("wav end.wav wait 0").size(), 1u);  // the X of 500 did nothing
  EXPECT_EQ(g.first("set FormSam.txtEvent caption \"押下 Z 又 X\"", 2011), 2250);  // the blink is back
  EXPECT_TRUE(run.grep("mci").empty()) << "the sword game has no music";
}

TEST(SamuraiTitle, ZAndXTogetherStartAGameAndLeaveInTheSameTick) {
  Sam g;
  g.play("0 down Z\n0 down X\n100 quit\n");
  int start = g.run().indexOf("10 set FormSam.TimeGame enabled 1");
  ASSERT_GE(start, 0) << g.run().dump();
  EXPECT_GT(g.run().indexOf("10 unload FormSam", start), start);
}

// ---- keys in play ----

TEST(SamuraiKeys, UpAndDownMoveOneFloorPerPressWhateverTheRepeat) {
  Sam g;
  // Up and Down before the game starts, on the title: nothing.
  std::string s = "0 down Z\n5 down Up\n6 up Up\n7 down Down\n8 up Down\n20 up Z\n";
  s += "100 down Up\n130 repeat Up\n160 repeat Up\n170 up Up\n";  // middle to top, once
  s += "200 down Up\n210 up Up\n";                                   // already on top
  s += "300 down Down\n330 repeat Down\n360 repeat Down\n370 up Down\n";
  s += "400 down Down\n430 repeat Down\n440 up Down\n";
  s += "500 down Down\n510 up Down\n";  // already under
  s += "600 quit\n";
  g.play(s);
  EXPECT_EQ(g.sets("Samurai", "top"), (std::vector<Timed>{{100, "40"}, {300, "80"}, {400, "120"}})) << g.run().dump();
  // The sword moves with the player, 8 pixels higher.
  EXPECT_EQ(g.run().valuesOnly("FormSam.Katana", "top"), (std::vector<std::string>{"32", "72", "112"}));
}

// ---- contact with the cells under the player ----

struct ContactCase {
  const char* name;
  int floor;                    // where the player stands: 0 top, 1 middle
  const char *top, *mid, *und;  // the cells in the player's column
  int left, top_, stage;        // the player afterwards
  float life;
  std::int64_t points;
  const char* sound;  // "" for none
  const char* midAfter;
};

class SamuraiContact : public ::testing::TestWithParam<ContactCase> {};

TEST_P(SamuraiContact, OneContactPass) {
  const ContactCase& c = GetParam();
  Sam g;
  FormSam& sam = g.sam();
  std::int64_t before = 0;
  struct {
    int left = 0, top = 0, kLeft = 0, kTop = 0, stage = 0;
    float life = 0;
    std::int64_t score = 0;
    std::string mid;
  } after;
  g.at(200, [&] {
    P::cell(sam, 0, kPlayerCell).setCaption(c.top);
    P::cell(sam, 1, kPlayerCell).setCaption(c.mid);
    P::cell(sam, 2, kPlayerCell).setCaption(c.und);
    before = P::score(sam);
  });
  g.at(205, [&] {
    after = {P::samurai(sam).left(), P::samurai(sam).top(), P::katana(sam).left(), P::katana(sam).top(),
             P::stageNo(sam), P::life(sam), P::score(sam), P::cell(sam, 1, kPlayerCell).caption()};
  });
  std::string s = kStart;
  if (c.floor == 0) s += "100 down Up\n110 up Up\n";
  g.play(s + "206 quit\n");
  EXPECT_EQ(after.left, c.left);
  EXPECT_EQ(after.top, c.top_);
  EXPECT_EQ(after.kLeft, c.left + 32);
  EXPECT_EQ(after.kTop, c.top_ - 8);
  EXPECT_EQ(after.stage, c.stage);
  EXPECT_EQ(after.life, c.life);
  EXPECT_EQ(after.score - before, c.points);
  EXPECT_EQ(after.mid, c.midAfter);
  std::vector<std::string> sounds;
  if (*c.sound) sounds.push_back(std::string("200 wav ") + c.sound + " async 0");
  EXPECT_EQ(g.run().grep("200 wav "), sounds) << g.run().dump();
}

INSTANTIATE_TEST_SUITE_P(
    Cells, SamuraiContact,
    ::testing::Values(
        ContactCase{"Plain", 1, "___", "___", "___", 64, 80, 1, 3, 0, "", "___"},
        ContactCase{"HoleFallsOneFloor", 1, "___", "", "___", 64, 120, 2, 3, 0, "", ""},
        // One pass reads the player afresh for every cell: through all three.
        ContactCase{"ThreeHolesInOnePass", 0, "", "", "", 64, 160, 3, 3, 0, "", ""},
        ContactCase{"BlockKnocksBackAndDown", 1, "___", "■", "___", 32, 120, 2, 2, 0, "wall.wav", "■"},
        ContactCase{"BlockOnTopKnocksBackAndDown", 0, "■", "___", "___", 32, 80, 1, 2, 0, "wall.wav", "___"},
        ContactCase{"ArrowKnocksBack", 1, "___", "←", "___", 32, 80, 1, 2, 0, "wall.wav", "___"},
        ContactCase{"StarScores", 1, "___", "☆", "___", 64, 80, 1, 3, 100, "take.wav", "___"},
        ContactCase{"NoteMovesOnAndGivesALife", 1, "___", "♪", "___", 96, 80, 1, 4, 500, "take.wav", "___"},
        ContactCase{"NoNoteOnTheTopFloor", 0, "♪", "___", "___", 64, 40, 0, 3, 0, "", "___"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the sword ----

TEST(SamuraiSword, TicksAddAPointSwingWhileZIsHeldAndCutInTheSwordsColumn) {
  Sam g;
  FormSam& sam = g.sam();
  g.at(100, [&] {
    P::cell(sam, 1, kSwordCell).setCaption("←");
    P::cell(sam, 0, kSwordCell).setCaption("←");  // another floor: untouched
  });
  g.at(300, [&] { P::cell(sam, 1, kSwordCell).setCaption("☆"); });
  g.at(400, [&] { P::cell(sam, 1, kSwordCell).setCaption("■"); });
  g.at(480, [&] { P::life(sam) = 2; });
  g.at(580, [&] { P::life(sam) = 1; });
  g.at(680, [&] { P::life(sam) = 7; });
  g.play(std::string(kStart) + "200 down Z\n290 repeat Z\n420 up Z\n720 quit\n");
  // One point a tick from the first tick after the start.
  EXPECT_EQ(g.sets("txtScore", "caption").at(0), (Timed{60, "\"1\""}));
  // Z down at 200: the ticks at 210, 260, 310 ... show "|", "/", "___", "|", ...
  EXPECT_EQ(g.sets("Katana", "caption"), (std::vector<Timed>{{10, "\"|\""}, {260, "\"/\""}, {310, "\"___\""},
                                                             {360, "\"|\""}, {410, "\"/\""}, {420, "\"|\""}}))
      << g.run().dump();
  EXPECT_EQ(g.times("wav zack.wav async 0"), (std::vector<std::int64_t>{210, 310}));
  EXPECT_EQ(g.times("wav katana.wav async 0"), (std::vector<std::int64_t>{410}));
  EXPECT_EQ(g.sets("StageTop(3)", "caption"), (std::vector<Timed>{{100, "\"←\""}}));
  // The arrow is cut at once (+100), the star is lost for nothing, the block
  // holds. The point of a tick shows before its cut: 4 at 210, then 4 + 100 + 1.
  // The face follows the lives.
  const struct {
    const char* element;
    std::int64_t at;
    std::vector<std::string> shown;
  } captions[] = {{"txtScore", 110, {"\"2\""}},     {"StageMid(3)", 210, {"\"___\""}}, {"txtScore", 210, {"\"4\""}},
                  {"txtScore", 260, {"\"105\""}},   {"StageMid(3)", 310, {"\"___\""}}, {"txtScore", 360, {"\"107\""}},
                  {"Samurai", 510, {"\"K\""}},      {"Samurai", 610, {"\"L\""}},       {"Samurai", 660, {}},
                  {"Samurai", 710, {"\"J\""}}};
  for (const auto& c : captions) EXPECT_EQ(g.valuesAt(c.element, "caption", c.at), c.shown) << c.element << " " << c.at;
}

// ---- the scroll ----

TEST(SamuraiScroll, AStepMovesElevenCellsAndRefillsTheOneThatLeaves) {
  Sam g;
  g.play(std::string(kStart) + "1500 quit\n");
  const std::int64_t step = kStarted + 1000;
  for (const char* f : {"StageTop", "StageMid", "StageUnd"}) {
    const std::string cell0 = std::string(f) + "(0)";
    EXPECT_EQ(g.valuesAt(cell0, "left", step), (std::vector<std::string>{"-32", "320"})) << g.run().dump();
    for (int i = 1; i <= 10; ++i)
      EXPECT_EQ(g.valuesAt(std::string(f) + "(" + std::to_string(i) + ")", "left", step),
                std::vector<std::string>{std::to_string(32 * (i - 1))});
    // Cell 11 stays where the load put it.
    for (const auto& set : g.sets(std::string(f) + "(11)", "left")) EXPECT_EQ(set.at, 0);
  }
  EXPECT_EQ(g.valuesAt("TimeGame", "interval", step), std::vector<std::string>{"999"});
}

// The refill's draws, mirrored: r = 30 * draw rounded picks the content by
// the floor's table; the middle floor draws again for a note at 49.
TEST(SamuraiScroll, RefillFollowsTheDrawTables) {
  struct Table {
    int block, arrow1, arrow2, star, hole;
  };
  const Table tables[3] = {{7, 16, 28, 13, 21}, {3, 9, 25, 11, 19}, {1, 6, 29, 12, 17}};
  Sam g;
  int notes = 0;
  g.at(50, [&] {
    g.rt().randomize();
    Random mirror(clockSeed(1, 50));
    for (int n = 0; n < 3000; ++n) {
      for (int k = 0; k < 3; ++k) {
        const Table& t = tables[k];
        int r = roundHalfEven(30 * mirror.draw());
        std::string want = "___";
        if (r == t.block) want = "■";
        if (r == t.arrow1 || r == t.arrow2) want = "←";
        if (r == t.star) want = "☆";
        if (r == t.hole) want = "";
        if (k == 1 && roundHalfEven(100 * mirror.draw()) == 49) want = "♪", ++notes;
        P::refill(g.sam(), k, 10);
        EXPECT_EQ(P::cell(g.sam(), k, 10).caption(), want) << "floor " << k << " refill " << n;
      }
    }
  });
  g.play("60 quit\n");
  EXPECT_GT(notes, 0);  // the draws ran, notes included
}

// 1000, 999, 998 ... down to 1 ms; the step at 1 ms plays "clear.wav", gives
// 5000 and starts again at 1000.
TEST(SamuraiScroll, ThePeriodShrinksToOneMsThenClearsForFiveThousand) {
  Sam g;
  std::int64_t before = 0;
  g.at(2100, [&] {
    P::scroll(g.sam()).setInterval(3);
    before = P::score(g.sam());
  });
  g.play(std::string(kStart) + "2200 quit\n");
  EXPECT_EQ(g.valuesAt("TimeGame", "interval", 1010), std::vector<std::string>{"999"});
  EXPECT_EQ(g.valuesAt("TimeGame", "interval", 2009), std::vector<std::string>{"998"});
  EXPECT_EQ(g.valuesAt("TimeGame", "interval", 2103), std::vector<std::string>{"2"});
  EXPECT_EQ(g.valuesAt("TimeGame", "interval", 2105), std::vector<std::string>{"1"});
  EXPECT_EQ(g.times("wav clear.wav async 0"), std::vector<std::int64_t>{2106});
  EXPECT_EQ(g.valuesAt("TimeGame", "interval", 2106), std::vector<std::string>{"1000"});
  // The bonus shows with the next sword tick's point.
  EXPECT_EQ(g.valuesAt("txtScore", "caption", 2110), std::vector<std::string>{"\"" + std::to_string(before + 5001) + "\""});
}

// ---- thunder ----

// Every second, on the title, in play and on the game-over screen: about one
// second in 25 flashes white with thunder until the next second.
TEST(SamuraiThunder, FlashesOnTheTitleInPlayAndAfterTheGame) {
  Sam g(std::nullopt, 1, 300000);
  g.at(100010, [&] { P::scroll(g.sam()).setEnabled(false); });  // nothing comes: play goes on
  g.at(200000, [&] { P::stageNo(g.sam()) = 3; });
  g.play("100000 down Z\n100005 up Z\n");
  auto backs = g.sets("", "back");
  int flashes[3] = {0, 0, 0};
  for (std::size_t i = 0; i < backs.size(); ++i) {
    EXPECT_EQ(backs[i].at % 1000, 0) << backs[i].at;
    if (backs[i].value != "#FFFFFF") continue;
    const std::int64_t t = backs[i].at;
    EXPECT_TRUE(g.run().has(std::to_string(t) + " wav thndr1.wav async 0") ||
                g.run().has(std::to_string(t) + " wav thndr2.wav async 0"))
        << t;
    // The next second ends it (or flashes again).
    if (t + 1000 < 300000) {
      EXPECT_TRUE(i + 1 < backs.size() && backs[i + 1].at == t + 1000 && backs[i + 1].value == "#800080") << t;
    }
    ++flashes[t < 100000 ? 0 : t < 200000 ? 1 : 2];
  }
  for (int f : flashes) EXPECT_GT(f, 0) << g.run().dump().substr(0, 2000);
  EXPECT_LT(flashes[0] + flashes[1] + flashes[2], 30);
  const std::int64_t over = g.first("set FormSam.txtTitle caption \"遊戯終焉\"");
  EXPECT_TRUE(over >= 200000 && over <= 200050) << over;
}

// ---- the best score ----

struct BestCase {
  const char* name;
  std::int32_t stored;  // hiScoreSam in the file
  std::int64_t score;   // the score when the game ends
  const char* atLoad;
  const char* afterGame;  // "" when unchanged
  std::int32_t written;
};

class SamuraiBest : public ::testing::TestWithParam<BestCase> {};

TEST_P(SamuraiBest, OnlyAboveTheBestAndPlusOne) {
  const BestCase& c = GetParam();
  Sam g(c.stored);
  g.at(300, [&] {
    P::score(g.sam()) = c.score;
    P::stageNo(g.sam()) = 3;
  });
  g.play(std::string("0 dump\n") + kStart + "500 down X\n510 up X\n600 quit\n");
  EXPECT_FALSE(g.run().grep(std::string("0 dump FormSam.txtHisc caption=\"") + c.atLoad + "\"").empty())
      << g.run().dump();
  auto hisc = g.sets("txtHisc", "caption");
  std::erase_if(hisc, [](const Timed& t) { return t.at == 0; });  // the load's
  std::vector<Timed> shown;
  if (*c.afterGame) shown.push_back({310, std::string("\"") + c.afterGame + "\""});
  EXPECT_EQ(hisc, shown) << g.run().dump();
  // The final score on screen is the compared score + 1.
  EXPECT_EQ(g.valuesAt("txtScore", "caption", 310), std::vector<std::string>{"\"" + std::to_string(c.score + 1) + "\""});
  const std::string hex = hexOf(ScoreRecord{.hiScoreSam = c.written}.toBytes());
  EXPECT_TRUE(g.run().has("500 write Qspe.dat " + hex)) << g.run().dump();
}

INSTANTIATE_TEST_SUITE_P(
    Scores, SamuraiBest,
    ::testing::Values(BestCase{"NewFileShows5000", 0, 4000, "最高得点：5000", "", 0},
                      BestCase{"BelowTheFloorShows5000", 4999, 5000, "最高得点：5000", "", 4999},
                      BestCase{"AboveTheFloorIsWrittenPlusOne", 0, 6000, "最高得点：5000", "最高得点:6001", 6001},
                      BestCase{"StoredBestShown", 7000, 6999, "最高得点：7000", "", 7000},
                      BestCase{"EqualIsNotBetter", 7000, 7000, "最高得点：7000", "", 7000},
                      BestCase{"BetterThanTheStored", 7000, 9000, "最高得点：7000", "最高得点:9001", 9001}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs::test
