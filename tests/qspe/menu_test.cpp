#include "qspe/menu.h"

#include <gtest/gtest.h>

#include <optional>

#include "games/forever/form_first.h"
#include "games/forever/form_qf.h"
#include "games/samurai/form_sam.h"
#include "games/shooter/form_qb.h"
#include "games/shooter/form_qbf.h"
#include "games/shooter/form_qbl.h"
#include "games/shooter/form_qrb.h"
#include "games/strike/form_qs.h"
#include "runtime/keys.h"
#include "runtime/trace.h"
#include "support/headless_run.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

using Log = std::vector<std::string>;

// The first n clear flags set, the others `rest`.
ScoreRecord flags(int n, std::int16_t rest = 0) {
  ScoreRecord r;
  std::int16_t* f[] = {&r.clearQB, &r.clearQBL, &r.clearQBF, &r.clearQRB, &r.clearQS, &r.clearQF};
  for (int i = 0; i < 6; ++i) *f[i] = i < n ? kTrue : rest;
  return r;
}

std::string presses(const std::string& key, int n, int at) {
  std::string s;
  for (int i = 0; i < n; ++i, at += 100) s += press(at, key);
  return s;
}

// The menu and the scenes it opens (FormQB may be the test's own), in a
// program directory with the given record.
class Menu : public ::testing::Test {
 protected:
  HeadlessRun& make(std::optional<ScoreRecord> rec = std::nullopt) {
    return run.emplace(HeadlessRun::Setup{.scores = rec ? std::optional(bytesOf(rec->toBytes())) : std::nullopt});
  }
  TraceView go(const std::string& script) {
    if (!run) make();
    run->add<FormMain>();
    if (!run->rt().hasForm("FormQB")) run->add<FormQB>();  // a test's own stand-in may hold the name
    run->add<FormQBL>(), run->add<FormQBF>(), run->add<FormQRB>(), run->add<FormQS>();
    run->add<FormFirst>(), run->add<FormQF>(), run->add<FormSam>();
    return run->run("FormMain", script);
  }
  std::optional<HeadlessRun> run;
};

// One press moves one entry however long the key is held (repeats move
// nothing), and never past either end: no wrap. The title follows the entry
// at the 10 ms tick due with the key, a locked entry's title included; the
// text and the arrows blink in opposite phases every 250 ms.
TEST_F(Menu, OnePressMovesOneEntryTheTitleFollowsAtTheNextTickAndTheArrowsBlink) {
  const char* titles[] = {"QorvexBlast",   "QorvexBlast LEVEL",   "QorvexBlast FINAL", "QorvexReBirth",
                          "QorvexStrike!", "??????????? ???????", "????????"};
  std::string s = presses("Left", 1, 100) + presses("Right", 3, 200) + "500 down Left\n";
  for (int t = 530; t <= 800; t += 30) s += std::to_string(t) + " repeat Left\n";
  s += "900 up Left\n1000 down Right\n1030 repeat Right\n1060 repeat Right\n1100 up Right\n";
  auto t = go(s + presses("Right", 5, 1200) + "1700 quit\n");
  Log moves;
  std::vector<TraceView::Value> shown = {{10, quoted(titles[0])}};
  const std::pair<int, int> entries[] = {{200, 1},  {300, 2},  {400, 3},  {500, 2},
                                         {1000, 3}, {1200, 4}, {1300, 5}, {1400, 6}};
  for (auto [at, entry] : entries) {
    moves.push_back(std::to_string(at) + " zorder FormMain.imgTitle(" + std::to_string(entry) + ")");
    shown.push_back({at, quoted(titles[entry])});
  }
  EXPECT_EQ(t.grep("zorder FormMain.imgTitle"), moves);
  EXPECT_EQ(t.values("FormMain.txtTitle", "caption"), shown);
  using Times = std::vector<std::int64_t>;
  EXPECT_EQ(t.times("set FormMain.Label2 visible 0"), (Times{250, 750, 1250}));
  EXPECT_EQ(t.times("set FormMain.Label3 visible 1"), (Times{500, 1000, 1500}));
  EXPECT_EQ(t.times("set FormMain.txtEvent visible 0"), (Times{500, 1000, 1500}));
  EXPECT_EQ(t.times("set FormMain.txtEvent visible 1"), (Times{750, 1250}));
}

// Z on entry N shows its scene at once (choice.wav is missing: it waits 0 ms);
// the last two open with five and six clear flags (-1 alone counts), and Z on
// a locked one stops the music and shows nothing.
TEST_F(Menu, ZStartsTheEntrysSceneWhenItIsOpen) {
  // clang-format off
  const struct {
    int index;
    ScoreRecord record;
    const char* scene;  // none: locked
    const char* stars;
  } cases[] = {{0, flags(0), "FormQB", ""},          {1, flags(0), "FormQBL", ""},
               {2, flags(0), "FormQBF", ""},         {3, flags(0), "FormQRB", ""},
               {4, flags(0), "FormQS", ""},          {5, flags(4, 1), nullptr, "★★★★"},
               {5, flags(5), "FormFirst", "★★★★★"}, {6, flags(5), nullptr, "★★★★★"},
               {6, flags(6), "FormSam", "★★★★★★"}};
  // clang-format on
  for (const auto& e : cases) {
    SCOPED_TRACE(testing::Message() << e.index << " " << e.stars);
    make(e.record);
    const int at = 100 * e.index + 200;
    auto t = go(presses("Right", e.index, 100) + press(at, "Z") + std::to_string(at + 100) + " quit\n");
    EXPECT_EQ(t.grep("set FormMain.LabelStar caption", true),
              *e.stars ? Log{"set FormMain.LabelStar caption \"" + std::string(e.stars) + "\""} : Log{});
    const std::string z = std::to_string(at) + " ";
    EXPECT_TRUE(t.inOrder(e.scene ? Log{z + "wav choice.wav wait 0", z + "show " + e.scene, z + "hide FormMain"}
                                  : Log{z + "wav choice.wav wait 0", z + "mci \"stop midifile \""}))
        << t.dump();
    EXPECT_EQ(t.count("hide FormMain"), e.scene ? 1 : 0);
    EXPECT_EQ(t.has(std::to_string(100 * e.index) + " zorder FormMain.Ques" + std::to_string(e.index - 4)), !e.scene);
  }
}

// Stands in for a game that sets a clear flag: Z wins, X leaves.
struct WinningGame : GameScene {
  explicit WinningGame(GameServices& s) : GameScene("FormQB", Units::Pixels, s) {}
  void design() override { setClientSize(165, 265); }
  void Form_Load() override { loadProtocol(); }
  void Form_Activate() override { activateProtocol(); }
  void Form_Unload() override { unloadProtocol(); }
  void Form_KeyDown(int key) override {
    if (key == vbKeyZ) scoreRec.clearQBL = kTrue;
    if (key == vbKeyX) unload();
  }
};

// A game writes the record as it unloads and the next game reads it; the
// menu keeps its own copy and writes nothing, and X there waits for end.wav
// and ends.
TEST_F(Menu, AGameWritesTheRecordAtUnloadTheNextReadsItAndXOnTheMenuEnds) {
  make(ScoreRecord{0, 0, 0, 0, 0, 0, 12345, 0}).add<WinningGame>();
  writeBytes(run->file("end.wav"), wavOfMs(300));
  std::string s = "100 down Z\n110 up Z\n200 down Z\n210 up Z\n300 down X\n310 up X\n";
  s += presses("Right", 1, 400) + "500 down Z\n510 up Z\n600 down X\n700 up X\n1000 down X\n";
  auto t = go(s);
  const Bytes won = bytesOf(ScoreRecord{0, kTrue, 0, 0, 0, 0, 12345, 0}.toBytes());
  EXPECT_TRUE(t.inOrder({"300 unload FormQB", "300 write Qspe.dat " + hexOf(won), "300 show FormMain",
                         "500 read Qspe.dat " + hexOf(won), "500 set FormQBL caption \"★QorvexBlast LEVEL\"",
                         "1000 wav end.wav wait 300", "1300 end"}))
      << t.dump();
  EXPECT_EQ(t.count("LabelStar"), 0);
  EXPECT_EQ(t.count("write Qspe.dat"), 2) << "one by each game, none by the menu";
  EXPECT_EQ(readBytes(run->file("Qspe.dat")), won);
}

}  // namespace
}  // namespace qs::test
