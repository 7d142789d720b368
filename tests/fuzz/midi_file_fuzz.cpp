// Music files: the header, every track's events and the timing made of them.
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "sound/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto timing = qs::parseMidiTiming(std::vector<std::uint8_t>(data, data + size));
  if (!timing) return 0;
  // A tune that loads has a length, and the mapping between ticks and ms is
  // monotone and stays within the tune for every point a command can name.
  std::int64_t end = timing->endTick();
  std::int64_t length = timing->lengthMs();
  FUZZ_CHECK(end >= 0);
  FUZZ_CHECK(length >= 0);
  FUZZ_CHECK(timing->msAt(0) == 0);
  FUZZ_CHECK(timing->tickAt(0) == 0);
  std::int64_t lastMs = 0;
  for (std::int64_t tick : {end / 3, end / 2, end}) {
    std::int64_t ms = timing->msAt(tick);
    FUZZ_CHECK(ms >= lastMs);
    lastMs = ms;
  }
  std::int64_t lastTick = 0;
  for (std::int64_t ms : {length / 3, length / 2, length, length + 1}) {
    std::int64_t tick = timing->tickAt(ms);
    FUZZ_CHECK(tick >= lastTick && tick <= end);
    lastTick = tick;
  }
  return 0;
}
