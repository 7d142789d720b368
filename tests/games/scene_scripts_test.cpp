// Each file of games/scripts is one rule of a game scene, played by the whole
// program from the scene named: a header, the script, and the trace lines
// that carry the rule.
//
//   # what the file shows
//   start FormQB            the form the run starts on
//   seed 7                  optional (1)
//   until 20000             optional (the script's last line)
//   record HEX              optional: Qspe.dat before the run
//   poke 1500 score 19900   sets the scene's score at that time; "stage" the
//                           sword game's floor
//   0 down Z                the script, from its first timed line; "0-15 Z":
//                           Z held from 0 to 15
//   expect
//   1710 set FormQB.Enemy(2) visible 0     this line, after the one before
//   set FormQB.txtScore caption "100"      this text at any time, in order
//   not 1610 hit.wav                        no line contains this
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/qspe_program.h"
#include "probes.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

struct SceneScript {
  std::string start, script;
  HeadlessRun::Setup setup;
  std::vector<std::string> expect, absent;
  struct Poke {
    std::int64_t at;
    std::string what;
    int value;
  };
  std::vector<Poke> pokes;
};

SceneScript parse(const std::filesystem::path& path) {
  SceneScript s;
  std::ifstream in(path);
  std::string line, part = "header";
  std::vector<std::pair<std::int64_t, std::string>> events;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string word, value;
    words >> word;
    if (part == "header" && std::isdigit(static_cast<unsigned char>(line[0]))) part = "script";
    if (line == "expect") {
      part = line;
    } else if (part == "script" && word.find('-') != std::string::npos) {
      words >> value;
      const auto dash = word.find('-');
      events.push_back({std::stoll(word), word.substr(0, dash) + " down " + value});
      events.push_back({std::stoll(word.substr(dash + 1)), word.substr(dash + 1) + " up " + value});
    } else if (part == "script") {
      events.push_back({std::stoll(word), line});
    } else if (part == "expect") {
      const bool no = word == "not";
      (no ? s.absent : s.expect).push_back(no ? line.substr(4) : line);
    } else if (word == "poke") {
      SceneScript::Poke p{};
      words >> p.at >> p.what >> p.value;
      s.pokes.push_back(p);
    } else if (words >> value && word == "start") {
      s.start = value;
    } else if (word == "seed") {
      s.setup.seed = std::stoull(value);
    } else if (word == "until") {
      s.setup.until = std::stoll(value);
    } else if (word == "record") {
      s.setup.scores = bytesOfHex(value);
    } else {
      ADD_FAILURE() << path << ": " << line;
    }
  }
  std::ranges::stable_sort(events, {}, &std::pair<std::int64_t, std::string>::first);
  for (const auto& e : events) s.script += e.second + "\n";
  return s;
}

std::vector<std::string> scriptFiles() {
  std::vector<std::string> names;
  for (const auto& f : std::filesystem::directory_iterator(QSPE_GAME_SCRIPTS))
    if (f.path().extension() == ".txt") names.push_back(f.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class SceneScripts : public ::testing::TestWithParam<std::string> {};

TEST_P(SceneScripts, ShowTheirRule) {
  const SceneScript s = parse(std::filesystem::path(QSPE_GAME_SCRIPTS) / (GetParam() + ".txt"));
  ASSERT_FALSE(s.expect.empty());
  HeadlessRun run(s.setup);
  run.load(makeQspe(run.rt(), run.audio()));
  for (const auto& p : s.pokes)
    run.at(p.at, [&run, &s, p] {
      Form& f = run.rt().form(s.start);
      if (s.start == "FormSam" && p.what == "stage") SamuraiProbe::stageNo(f) = p.value;
      else if (s.start == "FormSam") SamuraiProbe::score(f) = p.value;
      else if (s.start == "FormQF") ForeverProbe::score(f) = p.value;
      else ShooterProbe::score(f) = p.value;
    });
  TraceView t = run.run(s.start, s.script);
  EXPECT_TRUE(t.inOrder(s.expect));
  for (const std::string& a : s.absent) EXPECT_EQ(t.find(a), -1) << a << "\n" << t[std::max(0, t.find(a))];
}

INSTANTIATE_TEST_SUITE_P(Games, SceneScripts, ::testing::ValuesIn(scriptFiles()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace qs::test
