#pragma once
#include <cstdint>
#include <string>

#include "shell/timer.h"

namespace qs {

class Runtime;

// The music player: one per scene with music, over the one "midifile" device.
class clsMIDI {
 public:
  explicit clsMIDI(Runtime& rt);  // Class_Initialize
  ~clsMIDI();                     // Class_Terminate
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
  // Starts looped playback and returns at once; a poll restarts the tune from
  // its beginning each time it ends, until StopM or Play.
  void PlayLoop();

 private:
  Runtime& rt_;
  std::int32_t mciResult = 0;
  std::string retBuffer;
  std::string shortPath;
  std::string midiFile;
  bool loopPlay = false;
  Timer poll_;
};

}  // namespace qs
