// One rule of a game scene each, played by the whole program from the scene
// named: the run's seed, end and record, the scene's score (or the sword
// game's floor) set at a time where a script alone would take too long, the
// script, the trace lines that carry the rule in order (a line without its
// time may come at any time) and the texts no line may hold.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/qspe_program.h"
#include "probes.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

struct SceneRule {
  const char* name;
  const char* start;
  HeadlessRun::Setup setup;
  struct Poke {
    std::int64_t at;
    std::string what;
    int value;
  };
  std::vector<Poke> pokes;
  std::string script;
  std::vector<std::string> expect, absent;
};
void PrintTo(const SceneRule& r, std::ostream* os) { *os << r.name; }

// clang-format off
const SceneRule kRules[] = {
    // The title prompt shows for 250 ms and hides for 250 ms, starting shown;
    // the ship keys do nothing outside play.
    {"qb_title", "FormQB", {.until = 1100}, {}, press(100, "Left", 10) + press(200, "Right", 10),
     {"500 set FormQB.txtEvent visible 0", "750 set FormQB.txtEvent visible 1", "1000 set FormQB.txtEvent visible 0"},
     {"set FormQB.Myship"}},
    // Z held at the 10 ms poll starts the game; the enemies enter from y -32 and
    // fall 32 a second. A beam fired at 1020 from lane 2 climbs 32 a tick from
    // 224 and meets the enemy on row 0 at its 7th tick (0 <= 0 + 16), not at the
    // 6th (32); the hit is worth 100 and takes 5 ms off the enemy tick. The
    // other lanes are past at y 288, the 10th tick (256 is not yet past); the
    // loop goes on, so the enemies after lane 0 wait a step nearer.
    {"qb_first_game", "FormQB", {.until = 10700}, {}, press(0, "Z", 15) + press(1015, "Z", 15),
     {"10 set FormQB.TimeEnemy enabled 1", "1010 set FormQB.Enemy(2) top 0", "1020 set FormQB.Beam top 224",
      "1610 set FormQB.Beam top 32", "1710 set FormQB.Beam top 0", "1710 wav hit.wav async 0",
      "1710 set FormQB.Enemy(2) visible 0", "1710 set FormQB.Enemy(2) left 256",
      R"(1710 set FormQB.txtScore caption "100")", "1710 set FormQB.TimeEnemy interval 995",
      "9670 set FormQB.Enemy(0) top 256", "10665 set FormQB.Enemy(0) top 288", R"(10665 set FormQB.Bgtxt caption "L")",
      R"(10665 set FormQB.txtTitle caption "Mayday!!")", "10665 set FormQB.Enemy(0) top -64",
      "10665 set FormQB.TimeEnemy interval 1000", R"(10665 set FormQB.txtTitle caption "Game Over")",
      "10665 set FormQB.Enemy(1) top -32"},
     {"1610 set FormQB.Enemy(2) visible 0", "9670 set FormQB.txtTitle"}},
    // Unopposed, the enemy of the ship's lane lands on it at the 8th tick: the
    // crash texts, then "Game Over" after miss.wav. The enemies after lane 2 wait
    // a step nearer. Z held once the game is over starts the next at the next
    // poll, with the plain ship, and its first tick takes each enemy a step on.
    {"qb_crash", "FormQB", {.until = 9100}, {}, press(0, "Z", 15) + press(8015, "Z", 15),
     {"7010 set FormQB.Enemy(2) top 192", "8010 set FormQB.Enemy(2) top 224", R"(8010 set FormQB.Myship caption "N")",
      R"(8010 set FormQB.Bgtxt caption "R")", R"(8010 set FormQB.txtTitle caption "Crash!!")",
      "8010 wav miss.wav wait 0", R"(8010 mci "pause midifile ")", "8010 set FormQB.Enemy(2) top -64",
      R"(8010 set FormQB.Bgtxt caption "U")", R"(8010 set FormQB.txtTitle caption "Game Over")",
      "8010 wav gameover.wav wait 0", "8010 set FormQB.Enemy(3) top -32", "8020 wav start.wav wait 0",
      R"(8020 set FormQB.Myship caption ">")", "9020 set FormQB.Enemy(2) top -32", "9020 set FormQB.Enemy(3) top 0"},
     {R"(8010 set FormQB.txtTitle caption "Mayday!!")"}},
    // A blast after 20000 is reached spends one of the three; the clear waits for
    // the enemy tick and pays 2 x 3000 + 1000: 27500 is an ordinary clear, and
    // the record is written back unchanged.
    {"qb_clear", "FormQB", {.scores = bytesOfHex("0000ffff000000000000000000000000000000ff")}, {{1500, "score", 19900}},
     press(0, "Z", 15) + press(1015, "Z", 15) + press(1800, "X", 20) + press(3000, "X", 20),
     {R"(1710 set FormQB.txtScore caption "20000")", R"(1800 set FormQB.txtScore caption "20500")",
      R"(1800 set FormQB.txtRest caption "2")", R"(2705 set FormQB.txtScore caption "27500")",
      R"(2705 set FormQB.txtTitle caption "Cleared!!")",
      "3000 write Qspe.dat 0000ffff000000000000000000000000000000ff"},
     {R"(set FormQB.txtTitle caption "Perfect!!!")"}},
    // 20000 at an enemy tick with the three blasts left: 3 x 3000 + 1000 more
    // makes exactly 30000, "Perfect!!!", and the flag reaches the file at unload.
    {"qb_perfect", "FormQB", {}, {{1500, "score", 19900}},
     press(0, "Z", 15) + press(1015, "Z", 15) + press(3000, "X", 20),
     {R"(1710 set FormQB.txtScore caption "20000")", R"(2705 mci "pause midifile ")",
      R"(2705 set FormQB.txtScore caption "30000")", R"(2705 set FormQB.txtHisc caption "30000")",
      R"(2705 set FormQB.Bgtxt caption "P")", R"(2705 set FormQB.txtTitle caption "Perfect!!!")",
      R"(2705 set FormQB.Myship caption "J")", "2705 wav clear.wav wait 0",
      "3000 write Qspe.dat ffff000000000000000000000000000000000000"},
     {}},
    // LEVEL: the ship starts at (8, 64) and Up takes it a row up; enemies enter at
    // x 264 and step 32 left, so enemy 1 lands on the ship at the 8th tick. Game
    // over puts them at x 328; those after enemy 1 step on to 296.
    {"qbl_crash", "FormQBL", {.until = 8100}, {}, press(0, "Z", 15) + press(500, "Up", 10),
     {"500 set FormQBL.Myship top 32", "7010 set FormQBL.Enemy(1) left 40", "8010 set FormQBL.Enemy(1) left 8",
      R"(8010 set FormQBL.Myship caption "N")", R"(8010 set FormQBL.Bgtxt caption "B")",
      R"(8010 set FormQBL.txtTitle caption "Dekopin!!")", "8010 set FormQBL.Enemy(0) left 328",
      "8010 set FormQBL.Enemy(4) left 328", "8010 set FormQBL.Enemy(2) left 296", "8010 set FormQBL.Enemy(4) left 296"},
     {"set FormQBL.Myship left", R"(8010 set FormQBL.txtTitle caption "Mayday!!")"}},
    // FINAL: the ship starts at (224, 64); Down takes it a row down. Enemies
    // enter at x -32 and step 32 right: enemy 3 lands on the ship at the 8th
    // tick, with the beep first.
    {"qbf_crash", "FormQBF", {.until = 8100}, {}, press(0, "Z", 15) + press(500, "Down", 10),
     {"500 set FormQBF.Myship top 96", "8010 set FormQBF.Enemy(3) left 224", "8010 beep",
      R"(8010 set FormQBF.Myship caption "N")", R"(8010 set FormQBF.Bgtxt caption "!")",
      R"(8010 set FormQBF.txtTitle caption "The pen is mighty!!")", "8010 set FormQBF.Enemy(3) left -64",
      "8010 set FormQBF.Enemy(4) left -32"},
     {"set FormQBF.Myship left"}},
    // ReBirth: the beam goes down from the ship's row (y 8), 32 a tick. The
    // enemy of lane 2 waits on the bottom row (264) and is hit at the beam's 8th
    // tick, at y 264 (264 + 16 <= 264 + 32): 264 is still inside the field.
    {"qrb_beam", "FormQRB", {.until = 1900}, {}, press(0, "Z", 15) + press(15, "Z", 15),
     {"20 set FormQRB.Beam top 8", "710 set FormQRB.Beam top 232", "810 set FormQRB.Beam top 264",
      "810 set FormQRB.Beam left 288", "810 set FormQRB.Beam top 32", "810 set FormQRB.Enemy(2) visible 0",
      "810 set FormQRB.Enemy(2) left 256", "810 set FormQRB.Enemy(2) top 0",
      R"(810 set FormQRB.txtScore caption "100")", "1805 set FormQRB.Enemy(0) top 232"},
     {"710 set FormQRB.Enemy(2) visible 0"}},
    // Strike: the cursor starts over cell 4 at (64, 72) and steps 65 a key
    // within the grid; three Rights stop at column 2, three Ups at row 0.
    {"qs_cursor", "FormQS", {.until = 1000}, {},
     press(0, "Z", 15) + "100 down Right\n101 repeat Right\n102 repeat Right\n110 up Right\n"
                         "200 down Up\n201 repeat Up\n202 repeat Up\n210 up Up\n",
     {"10 set FormQS.Myship visible 1", "100 set FormQS.Myship left 129", "200 set FormQS.Myship top 7"},
     {"set FormQS.Myship left 194", "set FormQS.Myship top -58"}},
    // Strike: the clock shows 59 to 0 once a second from the start; time is up at
    // the first enemy tick that finds no time left, a second after "0".
    {"qs_time_up", "FormQS", {.until = 61100}, {}, press(0, "Z", 15),
     {R"(1010 set FormQS.Label2 caption "59")", R"(60010 set FormQS.Label2 caption "0")",
      R"(61010 mci "pause midifile ")", R"(61010 set FormQS.txtTitle caption "Time is Up!!")",
      R"(61010 set FormQS.txtBG caption "U")", R"(61010 set FormQS.Myship caption "N")",
      "61010 wav gameover.wav wait 0", R"(61010 set FormQS.txtInfo caption "Start:Z      Quit:X")"},
     {}},
    // Forever: seven columns, the ship in column 3 (x 96). Its beam takes the
    // enemy of column 3 at its 7th tick; the others are past at y 288, the 10th
    // enemy tick (256 is not yet past).
    // (with seed 2 no enemy comes back into column 3 before the 10th tick)
    {"qf_pass", "FormQF", {.seed = 2, .until = 10700}, {}, press(0, "Z", 15) + press(1015, "Z", 15),
     {"1020 set FormQF.Beam left 96", "1710 set FormQF.Enemy(3) visible 0", R"(1710 set FormQF.txtScore caption "100")",
      "9670 set FormQF.Enemy(0) top 256", "10665 set FormQF.Enemy(0) top 288",
      R"(10665 set FormQF.txtTitle caption "Mayday!!")"},
     {"9670 set FormQF.txtTitle"}},
    // Forever: the hit that makes exactly 10000 calls the boss: 100 more (shown
    // with the next hit), the boss at (48, 64), the backdrop emptied.
    {"qf_boss", "FormQF", {.seed = 2, .until = 2000}, {{1500, "score", 9900}}, press(0, "Z", 15) + press(1015, "Z", 15),
     {R"(1710 set FormQF.txtScore caption "10000")", "1710 set FormQF.txtBoss left 48",
      "1710 set FormQF.txtBoss top 64", R"(1710 set FormQF.Bgtxt caption "")", "1710 wav appear.wav wait 0",
      "1710 set FormQF.TimeBoss enabled 1"},
     {}},
    // The intro shows its alarm lines one every 1.5 s, from 1.5 s on; Z held
    // leaves for the Forever shooter at the next poll.
    {"first_alarm", "FormFirst", {.until = 11100}, {}, "11003 down Z\n",
     {"1500 set FormFirst.Label2(0) visible 1", "3000 set FormFirst.Label2(1) visible 1",
      "10500 set FormFirst.Label2(6) visible 1", "11010 unload FormFirst", "11010 show FormQF"},
     {}},
    // The epilogue: a line every 3 s, "Fin..." at 39 s; Z held from 1 s does not
    // leave before "Fin...", and leaves at the first poll after it. The Forever
    // shooter shows again, loaded afresh in its title state: its prompt blinks
    // from there, shown first.
    {"end_fin", "FormEnd", {.until = 39800}, {}, "1000 down Z\n",
     {"3000 set FormEnd.txtEpi(0) visible 1", "36000 set FormEnd.txtEpi(11) visible 1",
      "39000 set FormEnd.LabelFin visible 1", "39000 unload FormEnd", "39000 load FormQF", "39000 show FormQF",
      "39500 set FormQF.txtEvent visible 0", "39750 set FormQF.txtEvent visible 1"},
     {}},
    // Samurai: every 50 ms sword tick adds a point (the first shows 1); while Z
    // is held the sword swings "|", "/", "___" and again, one step a tick.
    {"sam_sword", "FormSam", {.until = 300}, {}, press(0, "Z", 15) + "100 down Z\n",
     {R"(60 set FormSam.txtScore caption "1")", R"(160 set FormSam.Katana caption "/")",
      R"(210 set FormSam.Katana caption "___")", R"(260 set FormSam.Katana caption "|")"},
     {}},
    // Samurai: Down takes the player from the middle floor (80) to the under
    // floor (120) once per press; below that there is no floor to step to. The
    // floors step 32 left, the first step a second after the start, each step
    // 1 ms sooner.
    {"sam_floors", "FormSam", {.until = 2100}, {}, press(0, "Z", 15) + press(100, "Down", 10) + press(200, "Down", 10),
     {"10 set FormSam.TimeGame enabled 1", "100 set FormSam.Samurai top 120", "100 set FormSam.Katana top 112",
      "1010 set FormSam.StageMid(1) left 0", "1010 set FormSam.TimeGame interval 999",
      "2009 set FormSam.StageMid(1) left -32", "2009 set FormSam.TimeGame interval 998"},
     {"set FormSam.Samurai top 160"}},
    // Samurai: a new file shows the best as 5000. Below the under floor (floor 3)
    // the next sword tick ends the game; a score above the best is stored plus
    // one, the final score shown once that tick has added its point.
    {"sam_best", "FormSam", {}, {{500, "score", 6000}, {500, "stage", 3}}, press(0, "Z", 15) + press(600, "X", 10),
     {R"(0 set FormSam.txtHisc caption "最高得点：5000")", R"(510 set FormSam.Samurai caption "N")",
      R"(510 set FormSam.txtSam caption "死")", "510 wav death.wav wait 0", R"(510 set FormSam.txtTitle caption "遊戯終焉")",
      R"(510 set FormSam.txtHisc caption "最高得点:6001")", "510 wav gameover.wav wait 0",
      R"(510 set FormSam.txtScore caption "6001")", "600 write Qspe.dat 0000000000000000000000000000000071170000"},
     {}},
};
// clang-format on

class SceneScripts : public ::testing::TestWithParam<SceneRule> {};

TEST_P(SceneScripts, ShowTheirRule) {
  const SceneRule& s = GetParam();
  HeadlessRun run(s.setup);
  run.load(makeQspe(run.rt(), run.audio()));
  const std::string start = s.start;
  for (const auto& p : s.pokes)
    run.at(p.at, [&run, &start, p] {
      Form& f = run.rt().form(start);
      if (start == "FormSam" && p.what == "stage") SamuraiProbe::stageNo(f) = p.value;
      else if (start == "FormSam") SamuraiProbe::score(f) = p.value;
      else if (start == "FormQF") ForeverProbe::score(f) = p.value;
      else ShooterProbe::score(f) = p.value;
    });
  TraceView t = run.run(start, s.script);
  EXPECT_TRUE(t.inOrder(s.expect));
  for (const std::string& a : s.absent) EXPECT_EQ(t.find(a), -1) << a << "\n" << t[std::max(0, t.find(a))];
}

INSTANTIATE_TEST_SUITE_P(Games, SceneScripts, ::testing::ValuesIn(kRules),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs::test
