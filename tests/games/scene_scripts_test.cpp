// Each file of games/scripts is one rule of a game scene, played by the whole
// program from the scene named: a header, the script, and the trace lines
// that carry the rule.
//
//   # what the file shows
//   start FormQB            the form the run starts on
//   seed 7                  optional (1)
//   until 20000             optional (the script's last line)
//   record HEX              optional: Qspe.dat before the run
//   media start.wav ...     optional: files copied from the build's media
//   script
//   0 down Z                ... script lines ...
//   expect
//   1710 set FormQB.Enemy(2) visible 0     this line, after the one before
//   * set FormQB.txtScore caption "100"    this text at any time, in order
//   not 1610 hit.wav                        no line contains this
//   poke 1500 score 19900   sets the scene's score at that time (shooters, Forever)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/qspe_program.h"
#include "expect_lines.h"
#include "probes.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

struct SceneScript {
  std::string start, script;
  HeadlessRun::Setup setup;
  std::vector<std::string> expect, absent;
  std::vector<std::pair<std::int64_t, int>> scores;
};

SceneScript parse(const std::filesystem::path& path) {
  SceneScript s;
  std::ifstream in(path);
  std::string line, part = "header";
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line == "script" || line == "expect") {
      part = line;
      continue;
    }
    if (part == "script") {
      s.script += line + "\n";
      continue;
    }
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (part == "expect" && word == "not") s.absent.push_back(line.substr(4));
    else if (part == "expect") s.expect.push_back(line);
    else if (word == "start") words >> s.start;
    else if (word == "seed") words >> s.setup.seed;
    else if (word == "until") words >> s.setup.until;
    else if (word == "record") words >> word, s.setup.scores = bytesOfHex(word);
    else if (word == "poke") {
      std::int64_t at = 0;
      int score = 0;
      words >> at >> word >> score;
      s.scores.emplace_back(at, score);
    } else if (word == "media")
      while (words >> word) s.setup.media.push_back(word);
    else ADD_FAILURE() << path << ": " << line;
  }
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
  for (auto [at, score] : s.scores)
    run.at(at, [&run, &s, score] {
      Form& f = run.rt().form(s.start);
      (s.start == "FormQF" ? ForeverProbe::score(f) : ShooterProbe::score(f)) = score;
    });
  TraceView t = run.run(s.start, s.script);
  EXPECT_TRUE(holdsInOrder(t, s.expect));
  for (const std::string& a : s.absent) EXPECT_EQ(t.find(a), -1) << a << "\n" << t[std::max(0, t.find(a))];
}

INSTANTIATE_TEST_SUITE_P(Games, SceneScripts, ::testing::ValuesIn(scriptFiles()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace qs::test
