#pragma once
// A headless run whose audio device writes down what it is asked to do, with
// the media-control device installed, and a stage form that carries out
// actions at given times of the run's clock.
#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "runtime/keys.h"
#include "runtime/runtime.h"
#include "sound/audio_device.h"
#include "sound/midi_file.h"
#include "sound/sound_system.h"

namespace qs::test {

// "effect NAME", "default", "beep", "open NAME", "play MS", "stop", "close";
// names without their directory.
class RecordingAudio : public AudioDevice {
 public:
  std::vector<std::string> calls;
  void playEffect(const std::string& path) override { calls.push_back("effect " + base(path)); }
  void playDefaultSound() override { calls.push_back("default"); }
  void beep() override { calls.push_back("beep"); }
  void openMusic(std::shared_ptr<const MidiTune> tune) override { calls.push_back("open " + base(tune->path)); }
  void playMusic(std::int64_t fromMs) override { calls.push_back("play " + std::to_string(fromMs)); }
  void stopMusic() override { calls.push_back("stop"); }
  void closeMusic() override { calls.push_back("close"); }

 private:
  static std::string base(const std::string& p) { return std::filesystem::path(p).filename().string(); }
};

class RecordingPlatform : public HeadlessPlatform {
 public:
  void beep() override { audio_.beep(); }
  RecordingAudio audio_;
};

// Runs its actions, each at its time, from key events that the run delivers.
class Stage : public Form {
 public:
  Stage() : Form("Stage", Units::Pixels) {}
  void design() override { setClientSize(10, 10); }
  void Form_KeyDown(int) override {
    auto act = std::move(actions.front());
    actions.pop_front();
    act();
  }
  std::deque<std::function<void()>> actions;
};

class SoundRun {
 public:
  explicit SoundRun(std::string dir)
      : trace_([this] { return rt_ ? rt_->now() : 0; }) {
    trace_.keepLines(true);
    RunConfig c;
    c.programDir = std::move(dir);
    rt_ = std::make_unique<Runtime>(platform_, trace_, c);
    sound_ = std::make_unique<SoundSystem>(*rt_, platform_.audio_, "Qspe");
    stage_ = &static_cast<Stage&>(rt_->addForm(std::make_unique<Stage>()));
  }

  Runtime& rt() { return *rt_; }
  SoundSystem& sound() { return *sound_; }
  RecordingAudio& audio() { return platform_.audio_; }

  // Carries out `action` at time `ms` (in the order given).
  SoundRun& at(std::int64_t ms, std::function<void()> action) {
    InputEvent e;
    e.kind = InputEvent::Kind::KeyDown;
    e.time = ms;
    e.key = vbKeyZ;
    events_.push_back(e);
    stage_->actions.push_back(std::move(action));
    return *this;
  }
  // Runs until `until` on the run's clock.
  void run(std::int64_t until) {
    rt_->setScript(events_);
    rt_->setScriptEnd(until);
    rt_->run("Stage");
  }

  // The trace lines that hold `text`, with their times.
  std::vector<std::string> grep(const std::string& text) const {
    std::vector<std::string> out;
    for (auto& l : trace_.lines())
      if (l.find(text) != std::string::npos) out.push_back(l);
    return out;
  }
  // The media-control commands sent, without the time stamps.
  std::vector<std::string> commands() const {
    std::vector<std::string> out;
    for (auto& l : grep(" mci ")) out.push_back(l.substr(l.find(" mci ") + 5));
    return out;
  }
  std::string dump() const {
    std::string s;
    for (auto& l : trace_.lines()) s += l + "\n";
    return s;
  }

 private:
  RecordingPlatform platform_;
  Trace trace_;
  std::unique_ptr<SoundSystem> sound_;  // outlives the runtime's forms
  std::unique_ptr<Runtime> rt_;
  Stage* stage_ = nullptr;
  std::vector<InputEvent> events_;
};

}  // namespace qs::test
