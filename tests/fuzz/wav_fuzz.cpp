// Effect files: the length of a WAV file comes from its header alone.
#include <cstdint>
#include <cstring>

#include "fuzz_support.h"
#include "sound/wav_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The reader takes a path only.
  static qs::fuzz::InputFile file("effect.wav");
  std::int64_t ms = qs::wavLengthMs(file.write(data, size));
  FUZZ_CHECK(ms >= 0);
  bool riffWave = size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0;
  if (!riffWave) FUZZ_CHECK(ms == 0);
  return 0;
}
