// The media-control device as the program drives it: commands at times of the
// run's clock, each with its answer and return code, and what is sounded.
#include "sound/mci_sequencer.h"

#include <gtest/gtest.h>

#include "support/headless_run.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

struct Step {
  std::int64_t at;
  std::string command;  // "@" stands for the test's folder
  std::string answer = "";
  std::int32_t error = mci::kOk;
};

TEST(Sequencer, CommandsOnTheRunsClock) {
  TempDir dir;
  for (auto [name, ms] : {std::pair{"one.mid", 1000}, {"two.mid", 2500}, {"with blank.mid", 700}})
    writeBytes(dir.file(name), tuneOfMs(ms));
  writeBytes(dir.file("junk.mid"), {'M', 'T', 'h', 'd', 0, 0});
  // clang-format off
  const Step steps[] = {
      {0, "status midifile mode", "not ready"},
      {0, "open @/one.mid type sequencer alias midifile"},
      {0, "status midifile mode", "stopped"},
      {0, "status midifile length", "1000"},
      {100, "play midifile"},
      {500, "status midifile position", "400"},
      {1099, "status midifile mode", "playing"},
      {1100, "status midifile mode", "stopped"},  // its length has passed
      {5000, "status midifile position", "1000"},
      {5000, "play midifile"},  // from its end: nothing left to play
      {5000, "status midifile mode", "stopped"},
      {5000, "PLAY midifile FROM 600"},
      {5399, "status midifile position", "999"},
      {5400, "status midifile mode", "stopped"},  // 400 ms from 600
      {5400, "play midifile from 0"},
      {5700, "pause midifile "},
      {6000, "status midifile position", "300"},
      {6000, "resume midifile "},
      {6100, "resume midifile "},  // playing already: changes nothing
      {6200, "seek midifile to 1"},  // stops
      {6500, "status midifile mode", "stopped"},
      {6500, "status midifile position", "1"},
      {6500, "resume midifile "},  // only a paused tune resumes
      {6500, "pause midifile "},   // nor pauses a stopped one
      {6500, "status midifile mode", "stopped"},
      {6500, "seek midifile to 5000", "", mci::kOutOfRange},
      {6500, "seek midifile to soon", "", mci::kBadInteger},
      {6500, "play midifile from -1", "", mci::kBadInteger},
      {6500, "status midifile position", "1"},
      {6500, "seek midifile to end"},
      {6500, "status midifile position", "1000"},
      {6500, "seek midifile to start"},
      {6500, "play midifile"},
      {6600, "status midifile position", "100"},
      // One device, whatever its alias: opening closes what was open.
      {6600, "open @/two.mid type sequencer alias midifile"},
      {6600, "status midifile mode", "stopped"},
      {6600, "open @/two.mid alias other"},
      {6600, "Status OTHER Length", "2500"},
      {6600, "status midifile length", "", mci::kInvalidDeviceName},
      {6600, "OPEN \"@/with blank.mid\" Type Sequencer Alias MidiFile"},
      {6600, "status midifile length", "700"},
      {6600, "fly midifile", "", mci::kUnrecognizedCommand},
      {6600, "status midifile colour", "", mci::kUnrecognizedKeyword},
      {6600, "", "", mci::kUnrecognizedCommand},
      // A file that cannot be opened leaves nothing open.
      {6600, "open @/missing.mid type sequencer alias midifile", "", mci::kFileNotFound},
      {6600, "status midifile mode", "not ready"},
      {6600, "play midifile", "", mci::kInvalidDeviceName},
      {6600, "open @/junk.mid type sequencer alias midifile", "", mci::kInvalidFile},
      {6600, "open  type sequencer alias midifile", "", mci::kUnrecognizedKeyword},
      {6600, "open @/one.mid alias midifile"},
      {6600, "close midifile"},
      {6600, "status midifile mode", "not ready"},
  };
  // clang-format on
  std::int64_t now = 0;
  RecordingAudio audio;
  MciSequencer mci([&] { return now; }, audio);
  for (const Step& s : steps) {
    now = s.at;
    std::string command = s.command;
    if (auto at = command.find('@'); at != std::string::npos) command.replace(at, 1, dir.path());
    EXPECT_EQ(mci.send(command), s.answer) << s.at << " " << s.command;
    EXPECT_EQ(mci.lastError(), s.error) << s.at << " " << s.command;
  }
  EXPECT_EQ(audio.calls, (std::vector<std::string>{"open one.mid", "play 0", "play 600", "play 0", "stop", "play 300",
                                                   "stop", "play 0", "close", "open two.mid", "close", "open two.mid",
                                                   "close", "open with blank.mid", "close", "open one.mid", "close"}));
}

}  // namespace
}  // namespace qs::test
