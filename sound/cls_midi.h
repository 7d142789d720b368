#pragma once
#include <cstdint>
#include <string>

#include "runtime/timer.h"

namespace qs {

class SoundSystem;

// The music player: one per scene with music, over the one "midifile" device
// that all players share. Created on first use, released when its scene goes.
class clsMIDI {
 public:
  explicit clsMIDI(SoundSystem& sound);  // Class_Initialize
  ~clsMIDI();                            // Class_Terminate
  clsMIDI(const clsMIDI&) = delete;
  clsMIDI& operator=(const clsMIDI&) = delete;

  void FileName(const std::string& file);
  const std::string& FileName() const { return midiFile; }
  void Play();
  void StopM();
  void Pause();
  void ResumeM();
  std::string Position();
  void Position(const std::string& to);
  std::int32_t Length();
  std::string Mode();
  // Plays on from the current position and loops: a poll restarts the tune
  // from its beginning each time it has ended (one shorter than a round of the
  // poll is played once and left), until StopM or Play. Returns at
  // once; the poll runs from a timer while the scene goes on, due when the
  // tune ends and at least every 250 ms.
  void PlayLoop();

  bool looping() const { return loopPlay == True; }
  bool polling() const { return poll_.armed(); }
  std::int32_t result() const { return mciResult; }

 private:
  static constexpr std::int16_t True = -1;
  static constexpr std::int16_t False = 0;

  void Class_Initialize();
  void Class_Terminate();
  std::string send(const std::string& command);
  // A status query: the answer as a buffer of `offered` characters holds it.
  std::string status(const std::string& command, std::size_t offered = 15);
  void poll();
  int nextPollMs() const;

  SoundSystem& sound_;
  std::int32_t mciResult = 0;
  std::string retBuffer;
  std::string shortPath;
  std::string midiFile;
  std::int16_t loopPlay = False;
  Timer poll_;
};

}  // namespace qs
