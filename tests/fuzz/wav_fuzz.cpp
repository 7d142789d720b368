// Effect files: the length of a WAV file comes from its header alone.
#include "fuzz_support.h"
#include "sound/wav_info.h"

FUZZ_TARGET(in) {
  const std::int64_t ms = qs::wavLengthMs(in.file("effect.wav"));  // the reader takes a path only
  const std::string text = in.text();
  FUZZ_CHECK(text.size() >= 12 && text.starts_with("RIFF") && text.substr(8, 4) == "WAVE" ? ms >= 0 : ms == 0);
}
