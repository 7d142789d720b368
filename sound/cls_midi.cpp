#include "sound/cls_midi.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "runtime/run_clock.h"
#include "sound/sound_system.h"

namespace qs {
namespace {

constexpr int kPollMs = 250;
// A tune shorter than one round of the poll is played once and not looped:
// restarted at each end, a 1 ms tune would start a thousand times a second.
// The game's tunes last 43 s and more.
constexpr std::int64_t kShortestLoopMs = kPollMs;

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

}  // namespace

clsMIDI::clsMIDI(SoundSystem& sound) : sound_(sound) { Class_Initialize(); }

clsMIDI::~clsMIDI() { Class_Terminate(); }

void clsMIDI::Class_Initialize() {
  send("stop midifile ");
  send("close midifile");
}

void clsMIDI::Class_Terminate() {
  poll_.detach();
  // After End, and as the run is torn down, the program's code runs no more.
  if (sound_.clock().programEnded()) return;
  send("stop midifile ");
  send("close midifile");
}

std::string clsMIDI::send(const std::string& command) {
  std::string answer = sound_.mciSendString(command);
  mciResult = sound_.mciError();
  return answer;
}

std::string clsMIDI::status(const std::string& command, std::size_t offered) {
  retBuffer = send(command).substr(0, offered);
  return retBuffer;
}

void clsMIDI::FileName(const std::string& file) {
  midiFile = file;
  shortPath = file;  // no 8.3 names here: a path is its own short form
  send("stop midifile ");
  send("close midifile");
  send("open " + shortPath + " type sequencer alias midifile");
}

void clsMIDI::Play() {
  send("stop midifile ");
  send("play midifile");
  loopPlay = False;
}

void clsMIDI::StopM() {
  send("stop midifile ");
  loopPlay = False;
}

void clsMIDI::Pause() { send("pause midifile "); }

// Restarts playback rather than sending "resume midifile ": the scenes call
// this right after opening a new tune and setting its position, so there is
// nothing paused to resume, and playing on from that position (looping if the
// player loops) is what keeps the music going.
void clsMIDI::ResumeM() {
  if (loopPlay == True) PlayLoop();
  else Play();
}

std::string clsMIDI::Position() { return status("status midifile position"); }

void clsMIDI::Position(const std::string& to) { send("seek midifile to " + to); }

std::int32_t clsMIDI::Length() {
  std::string answer = status("status midifile length");
  std::int32_t v = 0;
  std::from_chars(answer.data(), answer.data() + answer.size(), v);
  return v;
}

std::string clsMIDI::Mode() { return upper(status("status midifile mode")); }

void clsMIDI::PlayLoop() {
  send("play midifile");
  loopPlay = True;
  int next = nextPollMs();
  if (!poll_.armed()) poll_.attach(sound_.clock(), "midiPoll", next, true, [this] { poll(); });
  else poll_.setInterval(next);  // counts afresh from now
}

// One round of the loop: a tune that has ended starts again from 0, unless it
// is shorter than kShortestLoopMs; once the player no longer loops (StopM,
// Play) the poll ends. A paused tune is neither restarted nor left, and with
// nothing open the mode is never "stopped", so only StopM or the player's
// release ends the poll then.
void clsMIDI::poll() {
  std::string mode = upper(status("status midifile mode").substr(0, 7));
  if (loopPlay != True) {
    poll_.detach();
    return;
  }
  if (mode == "STOPPED" && sound_.musicLengthMs().value_or(0) >= kShortestLoopMs) send("play midifile from 0");
  poll_.setInterval(nextPollMs());
}

// A loop that polled without pause would see the end the moment it came; the
// timer sees it as well by being due right then: the time left while the tune
// plays, kPollMs at most, and kPollMs while nothing plays (paused, stopped, no
// file), so a restart lands on the tune's end.
int clsMIDI::nextPollMs() const {
  auto left = sound_.musicMsToEnd();
  return left ? static_cast<int>(std::clamp<std::int64_t>(*left, 1, kPollMs)) : kPollMs;
}

}  // namespace qs
