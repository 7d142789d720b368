// Music files: the header, every track's events and the timing made of them.
#include <utility>

#include "fuzz_support.h"
#include "sound/midi_file.h"

FUZZ_TARGET(in) {
  auto timing = qs::parseMidiTiming(std::vector<std::uint8_t>(in.begin(), in.end()));
  if (!timing) return;
  // A tune that loads has a length, and the mapping between ticks and ms is
  // monotone and stays within the tune for every point a command can name.
  const std::int64_t end = timing->endTick(), length = timing->lengthMs();
  FUZZ_CHECK(end >= 0 && length >= 0 && timing->msAt(0) == 0 && timing->tickAt(0) == 0);
  std::int64_t lastMs = 0, lastTick = 0;
  for (std::int64_t tick : {end / 3, end / 2, end})
    FUZZ_CHECK(timing->msAt(tick) >= std::exchange(lastMs, timing->msAt(tick)));
  for (std::int64_t ms : {length / 3, length / 2, length, length + 1})
    FUZZ_CHECK(timing->tickAt(ms) <= end && timing->tickAt(ms) >= std::exchange(lastTick, timing->tickAt(ms)));
}
