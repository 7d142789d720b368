// The whole Forever journey in the program as it is composed: from the menu
// with five games cleared, through the intro, a game won against the boss,
// the epilogue and back; and the shooter's tune over many visits.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string_view>

#include "app/qspe_program.h"
#include "games/forever/pilot.h"

namespace qs::test::forever {
namespace {

constexpr std::int64_t kLong = 3'000'000;

class Journey : public ::testing::Test {
 protected:
  // Flies the visits from the splash on, in a program directory with the
  // build's media and a record of five clears.
  TraceView travel(std::vector<Aim> visits, int dwell) {
    HeadlessRun::Setup setup{.until = kLong};
    for (const auto& e : std::filesystem::directory_iterator(QSPE_PROGRAM_DIR)) {
      const auto ext = e.path().extension();
      if (ext == ".wav" || ext == ".mid" || ext == ".bmp") setup.media.push_back(e.path().filename().string());
    }
    ScoreRecord rec;
    rec.clearQB = rec.clearQBL = rec.clearQBF = rec.clearQRB = rec.clearQS = kTrue;
    setup.scores = bytesOf(rec.toBytes());
    run.emplace(std::move(setup));
    Program& program = run->load(makeQspe(run->rt(), run->audio()));
    pilot.emplace(*run, static_cast<FormQF&>(run->rt().form("FormQF")), std::move(visits), Pilot::Options{0, dwell});
    return run->run(program.entry({}).value());
  }
  ScoreRecord written() const {
    Bytes b = readBytes(run->file("Qspe.dat"));
    return ScoreRecord::fromBytes(b.data(), b.size());
  }

  // The pilot goes before the run it watches.
  std::optional<HeadlessRun> run;
  std::optional<Pilot> pilot;
};

// The time of the first line from index `from` on that contains `text`.
std::int64_t timeOf(const TraceView& t, std::string_view text, int from = 0) {
  const int i = t.find(text, from);
  return i < 0 ? -1 : std::stoll(t[i]);
}

// With QSPE_JOURNEY_SCRIPTS set to a folder, each run's keys are written
// there as a script for the program itself, to be replayed live.
void writeScript(const Pilot& pilot, const std::string& name, std::vector<std::pair<std::int64_t, std::string>> shots = {}) {
  if (const char* dir = std::getenv("QSPE_JOURNEY_SCRIPTS")) std::ofstream(dir + ("/" + name)) << pilot.script(std::move(shots));
}

// The journey's, with shots of each stage.
void writeJourneyScript(const Pilot& pilot, const TraceView& t) {
  const std::int64_t intro = t.first("load FormFirst"), end = t.first("load FormEnd");
  const std::int64_t skull = timeOf(t, "wav appear.wav async", t.find("set FormQF.TimeBoss enabled 1"));
  writeScript(pilot, "journey.script", {{intro + 4600, "shot FormFirst first-red.png"},
                                       {intro + 4850, "shot FormFirst first-black.png"},
                                       {t.first("load FormQF") + 2500, "shot FormQF qf-title.png"},
                                       {timeOf(t, "wav start.wav") + 14000, "shot FormQF qf-wave.png"},
                                       {skull + 1300, "shot FormQF qf-boss.png"},
                                       {end + 25500, "shot FormEnd end-text.png"},
                                       {end + 39500, "shot FormEnd end-fin.png"},
                                       {t.first("unload FormEnd") + 2500, "shot FormQF qf-back.png"}});
}

// Entry 5, Z through the intro, a game won through the boss's 255 hits, the
// epilogue to "Fin...", Z back to the title, X to the menu; then a second
// visit, whose game starts the game's tune again.
TEST_F(Journey, FromTheMenuThroughTheBossAndTheEpilogueBack) {
  auto t = travel({Aim::Clear, Aim::Lose}, 5000);
  writeJourneyScript(*pilot, t);
  const int end = t.find("load FormEnd");
  ASSERT_GE(end, 0) << "no clear";
  EXPECT_TRUE(t.inOrder({"hide FormMain", "unload FormFirst", "load FormQF", "show FormQF", "hide FormQF", "load FormEnd", "show FormEnd", "set FormEnd.LabelFin visible 1",
                         "key FormEnd down Z", "unload FormEnd", "show FormQF", "key FormQF down X",
                         "unload FormQF", "show FormMain", "load FormFirst", "load FormQF"}));
  const std::int64_t loaded = t.first("load FormEnd");
  EXPECT_EQ(t.first("set FormEnd.LabelFin visible 1"), loaded + 39000);
  EXPECT_EQ(t.count("set FormEnd.txtEpi(", end), 2 * 13);
  EXPECT_EQ(t.count("wav miss.wav async"), 255);
  // Back in the title: no game runs until the next visit's start.
  const int back = t.find("unload FormEnd");
  EXPECT_EQ(t.find("wav start.wav", back), t.find("wav start.wav", t.find("load FormFirst", back)));

  // The record keeps the five clears and gains the Forever clear and its best.
  const ScoreRecord rec = written();
  EXPECT_EQ(rec.clearQS, kTrue);
  EXPECT_EQ(rec.clearQF, kTrue);
  EXPECT_EQ(std::to_string(rec.hiScoreQF), t.valuesOnly("FormQF.txtHisc", "caption").back().substr(1, 5));
  EXPECT_GT(rec.hiScoreQF, 10000 + 100 * 100);

  // The tune: the game's at each start, none through the epilogue.
  const auto& calls = run->audio().calls;
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "open fbgm.mid"), 2);
  EXPECT_EQ(t.count("mci \"open", end), t.count("mci \"open", t.find("show FormMain", back)));
  EXPECT_GT(t.find("fbgm.mid", t.find("wav start.wav", back)), 0);
}

// Ten visits to the shooter from the menu: a clear, games lost and visits
// that leave from the title. The music device holds one tune at a time,
// so no two play at once, and after the last X only the menu's plays.
TEST_F(Journey, TenVisitsLeaveOneTuneAtATime) {
  std::vector<Aim> visits{Aim::Clear};
  for (int i = 1; i < 10; ++i) visits.push_back(i % 2 ? Aim::Lose : Aim::Leave);
  auto t = travel(visits, 5000);
  writeScript(*pilot, "visits.script");
  ASSERT_EQ(t.count(" load FormQF"), 10);
  ASSERT_EQ(t.count(" load FormEnd"), 1);
  EXPECT_EQ(t.count("wav gameover.wav"), 5);
  std::string open;  // the tune the device holds
  for (const std::string& c : run->audio().calls) {
    if (c.starts_with("open ")) {
      EXPECT_EQ(open, "") << c << " over " << open;
      open = c.substr(5);
    }
    if (c.starts_with("play")) {
      EXPECT_NE(open, "") << c;
    }
    if (c == "close") open.clear();
  }
  EXPECT_EQ(open, "select.mid");
  EXPECT_TRUE(run->audio().calls.back().starts_with("play"));
}

}  // namespace
}  // namespace qs::test::forever
