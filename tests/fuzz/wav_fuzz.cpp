// Effect files: the length of a WAV file comes from its header alone.
#include <cstring>

#include "fuzz_support.h"
#include "sound/wav_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static qs::fuzz::InputFile file("effect.wav");  // the reader takes a path only
  const std::int64_t ms = qs::wavLengthMs(file.write(data, size));
  const bool riffWave = size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0;
  FUZZ_CHECK(riffWave ? ms >= 0 : ms == 0);
  return 0;
}
