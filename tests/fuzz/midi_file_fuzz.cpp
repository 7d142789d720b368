// Music files: the header, every track's events and the timing made of them.
#include "fuzz_support.h"
#include "sound/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto timing = qs::parseMidiTiming(std::vector<std::uint8_t>(data, data + size));
  if (!timing) return 0;
  // A tune that loads has a length, and the mapping between ticks and ms is
  // monotone and stays within the tune for every point a command can name.
  const std::int64_t end = timing->endTick(), length = timing->lengthMs();
  FUZZ_CHECK(end >= 0 && length >= 0 && timing->msAt(0) == 0 && timing->tickAt(0) == 0);
  std::int64_t lastMs = 0, lastTick = 0;
  for (std::int64_t tick : {end / 3, end / 2, end}) {
    FUZZ_CHECK(timing->msAt(tick) >= lastMs);
    lastMs = timing->msAt(tick);
  }
  for (std::int64_t ms : {length / 3, length / 2, length, length + 1}) {
    FUZZ_CHECK(timing->tickAt(ms) >= lastTick && timing->tickAt(ms) <= end);
    lastTick = timing->tickAt(ms);
  }
  return 0;
}
