#include "sound/mci_sequencer.h"

#include <algorithm>
#include <charconv>

#include "sound/audio_device.h"
#include "sound/mci_command.h"

namespace qs {

MciSequencer::MciSequencer(Clock clock, AudioDevice& audio, BadFile badFile)
    : clock_(std::move(clock)), audio_(audio), badFile_(std::move(badFile)) {}

MciSequencer::~MciSequencer() {
  if (open_) close();
}

std::string MciSequencer::fail(std::int32_t code) {
  error_ = code;
  return {};
}

std::string MciSequencer::send(const std::string& command) {
  error_ = mci::kOk;
  auto c = parseMciCommand(command);
  if (!c) return fail(mci::kUnrecognizedCommand);
  if (c->verb == "open") return open(*c);
  if (!open_ || lowerCase(c->device) != lowerCase(open_->alias)) {
    // Nothing open under that name: the device is not ready, and only says so.
    if (!open_ && c->verb == "status" && c->words.size() == 1 && c->words[0] == "mode") return "not ready";
    return fail(mci::kInvalidDeviceName);
  }
  settle();
  const std::string& v = c->verb;
  if (v == "play") return play(*c);
  if (v == "stop") halt(Mode::Stopped);
  else if (v == "pause") {
    if (open_->mode == Mode::Playing) halt(Mode::Paused);
  } else if (v == "resume") {
    if (open_->mode == Mode::Paused) return play(MciCommand{});
  } else if (v == "seek") return seek(*c);
  else if (v == "close") close();
  else if (v == "status") return status(*c);
  else return fail(mci::kUnrecognizedCommand);
  return {};
}

std::string MciSequencer::open(const MciCommand& c) {
  if (open_) close();  // one device: whatever was open makes way
  if (c.file.empty()) return fail(mci::kUnrecognizedKeyword);
  MidiLoadError why = MidiLoadError::None;
  auto tune = loadMidiFile(c.file, why);
  if (!tune) {
    bool missing = why == MidiLoadError::Missing;
    if (badFile_) badFile_(c.file, midiLoadWhy(why));
    return fail(missing ? mci::kFileNotFound : mci::kInvalidFile);
  }
  // Without an alias the device goes by its file's name.
  open_ = Open{tune, c.device.empty() ? c.file : c.device};
  audio_.openMusic(std::move(tune));
  return {};
}

std::string MciSequencer::play(const MciCommand& c) {
  Open& o = *open_;
  std::int64_t from = o.position;
  if (c.has("from")) {
    auto p = c.after("from");
    auto at = p ? point(*p) : std::nullopt;
    if (!at) return fail(p ? error_ : mci::kBadInteger);
    from = *at;
  } else if (o.mode == Mode::Playing) {
    return {};  // already under way
  }
  if (o.mode == Mode::Playing) audio_.stopMusic();
  o.position = from;
  o.startedAt = clock_();
  if (from >= length()) {  // nothing left to play: it stays at its end
    o.mode = Mode::Stopped;
    o.position = length();
    return {};
  }
  o.mode = Mode::Playing;
  audio_.playMusic(from);
  return {};
}

std::string MciSequencer::seek(const MciCommand& c) {
  auto p = c.after("to");
  auto at = p ? point(*p) : std::nullopt;
  if (!at) return fail(p ? error_ : mci::kBadInteger);
  halt(Mode::Stopped);  // seeking stops the tune
  open_->position = *at;
  return {};
}

std::string MciSequencer::status(const MciCommand& c) {
  if (c.words.size() != 1) return fail(mci::kUnrecognizedKeyword);
  const std::string& item = c.words[0];
  if (item == "mode") {
    switch (open_->mode) {
      case Mode::Playing: return "playing";
      case Mode::Paused: return "paused";
      case Mode::Stopped: return "stopped";
    }
  }
  if (item == "position") return std::to_string(position());
  if (item == "length") return std::to_string(length());
  return fail(mci::kUnrecognizedKeyword);
}

// "start", "end" or a number of ms within the tune.
std::optional<std::int64_t> MciSequencer::point(const std::string& word) {
  if (word == "start") return 0;
  if (word == "end") return length();
  std::int64_t v = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
  if (ec != std::errc() || end != word.data() + word.size() || v < 0) {
    error_ = mci::kBadInteger;
    return std::nullopt;
  }
  if (v > length()) {
    error_ = mci::kOutOfRange;
    return std::nullopt;
  }
  return v;
}

void MciSequencer::halt(Mode mode) {
  Open& o = *open_;
  if (o.mode == Mode::Playing) {
    o.position = position();
    audio_.stopMusic();
  }
  o.mode = mode;
}

void MciSequencer::close() {
  audio_.closeMusic();
  open_.reset();
}

// A tune whose length has passed on the run's clock has stopped at its end.
void MciSequencer::settle() {
  Open& o = *open_;
  if (o.mode == Mode::Playing && clock_() - o.startedAt >= length() - o.position) {
    o.mode = Mode::Stopped;
    o.position = length();
  }
}

std::optional<std::int64_t> MciSequencer::msToEnd() const {
  if (!open_ || open_->mode != Mode::Playing) return std::nullopt;
  return length() - position();
}

std::optional<std::int64_t> MciSequencer::tuneMs() const {
  if (!open_) return std::nullopt;
  return length();
}

std::int64_t MciSequencer::length() const { return open_->tune->timing.lengthMs(); }

std::int64_t MciSequencer::position() const {
  const Open& o = *open_;
  if (o.mode != Mode::Playing) return o.position;
  return std::min(o.position + (clock_() - o.startedAt), length());
}

}  // namespace qs
