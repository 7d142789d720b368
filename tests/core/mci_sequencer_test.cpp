#include <gtest/gtest.h>

#include <filesystem>

#include "sound/mci_sequencer.h"
#include "support/sound_bytes.h"
#include "support/sound_run.h"

namespace qs::test {
namespace {

using Calls = std::vector<std::string>;

// The device on a clock the test sets, over a recording audio device.
class Sequencer : public ::testing::Test {
 protected:
  void SetUp() override {
    writeBytes(file("one.mid"), tuneOfMs(1000));
    writeBytes(file("two.mid"), tuneOfMs(2500));
    writeBytes(file("junk.mid"), {'M', 'T', 'h', 'd', 0, 0});
  }
  std::string file(const std::string& name) const { return (dir / name).string(); }
  std::string send(const std::string& command) { return mci.send(command); }
  void openOne() {
    ASSERT_EQ(send("open " + file("one.mid") + " type sequencer alias midifile"), "");
    ASSERT_EQ(mci.lastError(), 0);
  }
  std::string mode() { return send("status midifile mode"); }
  std::string position() { return send("status midifile position"); }

  TempDir tmp;
  std::filesystem::path dir = tmp.path();
  std::int64_t now = 0;
  RecordingAudio audio;
  MciSequencer mci{[this] { return now; }, audio};
};

TEST_F(Sequencer, StatusFollowsTheClockUntilTheTuneHasEnded) {
  openOne();
  EXPECT_EQ(mode(), "stopped");
  EXPECT_EQ(position(), "0");
  EXPECT_EQ(send("status midifile length"), "1000");
  now = 100;
  send("play midifile");
  now = 500;
  EXPECT_EQ(mode(), "playing");
  EXPECT_EQ(position(), "400");
  now = 1099;
  EXPECT_EQ(mode(), "playing");
  now = 1100;
  EXPECT_EQ(mode(), "stopped");
  EXPECT_EQ(position(), "1000");
  now = 5000;
  EXPECT_EQ(position(), "1000") << "a stopped tune stays at its end";
  send("play midifile");  // from the end: nothing left to play
  EXPECT_EQ(mode(), "stopped");
  send("play midifile from 0");
  EXPECT_EQ(mode(), "playing");
  now = 5250;
  EXPECT_EQ(position(), "250");
  EXPECT_EQ(audio.calls, (Calls{"open one.mid", "play 0", "play 0"}));
}

TEST_F(Sequencer, PauseFreezesThePositionAndResumeOrPlayGoOnFromIt) {
  openOne();
  send("play midifile");
  now = 300;
  send("pause midifile ");
  now = 800;
  EXPECT_EQ(mode(), "paused");
  EXPECT_EQ(position(), "300");
  send("resume midifile ");
  now = 1499;
  EXPECT_EQ(mode(), "playing");
  EXPECT_EQ(position(), "999");
  now = 1500;
  EXPECT_EQ(mode(), "stopped");
  send("play midifile from 0");
  now = 1600;
  send("pause midifile ");
  send("resume midifile ");  // a second resume changes nothing
  send("resume midifile ");
  now = 1700;
  send("stop midifile ");
  send("resume midifile ");  // only a paused tune resumes
  EXPECT_EQ(mode(), "stopped");
  EXPECT_EQ(position(), "200");
  send("pause midifile ");  // nothing playing to pause
  EXPECT_EQ(mode(), "stopped");
  send("play midifile");  // a stopped tune plays on from where it stopped
  EXPECT_EQ(audio.calls,
            (Calls{"open one.mid", "play 0", "stop", "play 300", "play 0", "stop", "play 100", "stop", "play 200"}));
}

TEST_F(Sequencer, SeekStopsAndSetsThePosition) {
  openOne();
  send("play midifile");
  now = 200;
  send("seek midifile to 1");
  EXPECT_EQ(mode(), "stopped");
  EXPECT_EQ(position(), "1");
  now = 700;
  EXPECT_EQ(position(), "1");
  send("seek midifile to 5000");
  EXPECT_EQ(mci.lastError(), mci::kOutOfRange);
  send("seek midifile to soon");
  EXPECT_EQ(mci.lastError(), mci::kBadInteger);
  EXPECT_EQ(position(), "1") << "a refused seek leaves the position";
  send("seek midifile to end");
  EXPECT_EQ(position(), "1000");
  send("seek midifile to start");
  send("play midifile");
  EXPECT_EQ(audio.calls, (Calls{"open one.mid", "play 0", "stop", "play 0"}));
}

TEST_F(Sequencer, OneDeviceForTheProgramOpeningClosesWhatWasOpen) {
  openOne();
  send("play midifile");
  now = 100;
  send("open " + file("two.mid") + " type sequencer alias midifile");
  EXPECT_EQ(send("status midifile length"), "2500");
  EXPECT_EQ(mode(), "stopped");
  // Another alias still means the one device.
  send("open " + file("one.mid") + " alias other");
  EXPECT_EQ(send("status other length"), "1000");
  EXPECT_EQ(send("status midifile length"), "");
  EXPECT_EQ(mci.lastError(), mci::kInvalidDeviceName);
  EXPECT_EQ(audio.calls, (Calls{"open one.mid", "play 0", "close", "open two.mid", "close", "open one.mid"}));
}

TEST_F(Sequencer, AFileThatCannotBeOpenedLeavesNothingOpen) {
  openOne();
  send("open " + file("missing.mid") + " type sequencer alias midifile");
  EXPECT_EQ(mci.lastError(), mci::kFileNotFound);
  EXPECT_EQ(mode(), "not ready") << "the file before was closed all the same";
  EXPECT_EQ(mci.lastError(), 0);
  for (const char* c : {"play midifile", "play midifile from 0", "stop midifile ", "close midifile"}) {
    EXPECT_EQ(send(c), "");
    EXPECT_EQ(mci.lastError(), mci::kInvalidDeviceName) << c;
  }
  EXPECT_EQ(position(), "");
  send("open " + file("junk.mid") + " type sequencer alias midifile");
  EXPECT_EQ(mci.lastError(), mci::kInvalidFile);
  EXPECT_EQ(mode(), "not ready");
  send("open  type sequencer alias midifile");  // no file named at all
  EXPECT_NE(mci.lastError(), 0);
  EXPECT_EQ(mode(), "not ready");
  EXPECT_EQ(audio.calls, (Calls{"open one.mid", "close"}));
}

TEST_F(Sequencer, CommandsAreReadWithoutRegardToCaseAndNamesMayHoldBlanks) {
  writeBytes(file("with blank.mid"), tuneOfMs(700));
  send("OPEN \"" + file("with blank.mid") + "\" Type Sequencer Alias MidiFile");
  ASSERT_EQ(mci.lastError(), 0);
  EXPECT_EQ(send("Status MIDIFILE Length"), "700");
  send("open " + file("with blank.mid") + " type sequencer alias midifile");
  ASSERT_EQ(mci.lastError(), 0);
  send("PLAY midifile FROM 100");
  now = 50;
  EXPECT_EQ(position(), "150");
  EXPECT_EQ(send("fly midifile"), "");
  EXPECT_EQ(mci.lastError(), mci::kUnrecognizedCommand);
  EXPECT_EQ(send("status midifile colour"), "");
  EXPECT_EQ(mci.lastError(), mci::kUnrecognizedKeyword);
  send("");
  EXPECT_EQ(mci.lastError(), mci::kUnrecognizedCommand);
  send("close midifile");
  EXPECT_EQ(mode(), "not ready");
  EXPECT_EQ(audio.calls.back(), "close");
}

}  // namespace
}  // namespace qs::test
