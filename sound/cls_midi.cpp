#include "cls_midi.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "shell/runtime.h"

namespace qs {
namespace {
constexpr int kPollMs = 250;

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}
}  // namespace

clsMIDI::clsMIDI(Runtime& rt) : rt_(rt) {
  rt_.mciSendString("stop midifile ");
  rt_.mciSendString("close midifile");
}

clsMIDI::~clsMIDI() {
  poll_.detach();
  rt_.mciSendString("stop midifile ");
  rt_.mciSendString("close midifile");
}

void clsMIDI::FileName(const std::string& file) {
  midiFile = file;
  shortPath = file;  // paths here have no short form
  rt_.mciSendString("stop midifile ");
  rt_.mciSendString("close midifile");
  rt_.mciSendString("open " + shortPath + " type sequencer alias midifile");
}

void clsMIDI::Play() {
  rt_.mciSendString("stop midifile ");
  rt_.mciSendString("play midifile");
  loopPlay = false;
}

void clsMIDI::StopM() {
  rt_.mciSendString("stop midifile ");
  loopPlay = false;
}

void clsMIDI::Pause() { rt_.mciSendString("pause midifile "); }

// Restarts through PlayLoop or Play: a freshly opened tune that was set to a
// position plays from there, and the loop goes on as before.
void clsMIDI::ResumeM() {
  if (loopPlay) PlayLoop();
  else Play();
}

std::string clsMIDI::Position() {
  std::string answer = rt_.mciSendString("status midifile position");
  return answer.substr(0, 15);
}

void clsMIDI::Position(const std::string& to) { rt_.mciSendString("seek midifile to " + to); }

std::int32_t clsMIDI::Length() {
  std::string answer = rt_.mciSendString("status midifile length");
  std::int32_t v = 0;
  std::from_chars(answer.data(), answer.data() + answer.size(), v);
  return v;
}

std::string clsMIDI::Mode() { return upper(rt_.mciSendString("status midifile mode")); }

void clsMIDI::PlayLoop() {
  rt_.mciSendString("play midifile");
  loopPlay = true;
  if (poll_.armed()) return;  // one poll per player
  poll_.attach(rt_, "midiPoll", kPollMs, true, [this] {
    retBuffer = upper(rt_.mciSendString("status midifile mode")).substr(0, 7);
    if (retBuffer == "STOPPED") {
      if (!loopPlay) poll_.detach();
      else rt_.mciSendString("play midifile from 0");
    } else if (!loopPlay && retBuffer != "PAUSED") {
      // Nothing open ("not ready") never reports stopped: the loop ends once
      // the player is stopped.
      if (retBuffer.rfind("NOT", 0) == 0 || retBuffer.empty()) poll_.detach();
    }
  });
}

}  // namespace qs
