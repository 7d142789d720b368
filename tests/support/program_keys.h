#pragma once
// The whole game program run headless on keys: a program directory with the
// build's media, and random play from the menu into one of its entries.
#include <filesystem>
#include <random>
#include <vector>

#include "qspe/score_record.h"
#include "runtime/keys.h"
#include "runtime/platform.h"
#include "support/files.h"

namespace qs::test {

// The build's media in `dir`, with every game cleared when `allCleared` so
// that the locked entries open too.
inline void makeProgramDir(const TempDir& dir, bool allCleared) {
  namespace fs = std::filesystem;
  for (const auto& e : fs::directory_iterator(QSPE_PROGRAM_DIR)) {
    auto ext = e.path().extension();
    if (ext == ".wav" || ext == ".mid" || ext == ".bmp")
      fs::copy_file(e.path(), fs::path(dir.path()) / e.path().filename());
  }
  ScoreRecord rec;
  if (allCleared) rec = ScoreRecord{kTrue, kTrue, kTrue, kTrue, kTrue, kTrue, 0, 0};
  auto bytes = rec.toBytes();
  writeBytes(dir.file("Qspe.dat"), std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

// Once the menu is up, Right `entry` times and Z, so that the run goes on in
// that entry's scene; then presses and releases of the game's keys at random
// moments, each held for a random while. X is rare, as it ends the program
// on the menu.
inline std::vector<InputEvent> randomKeys(std::mt19937_64& rng, int entry, std::int64_t until) {
  std::discrete_distribution<int> pick({10, 3, 3, 3, 3, 0.5});
  static constexpr int kKeys[] = {vbKeyZ, vbKeyLeft, vbKeyRight, vbKeyUp, vbKeyDown, vbKeyX};
  std::uniform_int_distribution<int> gap(1, 900), hold(1, 600), repeats(0, 3);
  std::vector<InputEvent> events;
  std::int64_t t = 3000;
  auto press = [&](InputEvent::Kind kind, std::int64_t at, int key) {
    InputEvent e;
    e.kind = kind;
    e.time = at;
    e.key = key;
    events.push_back(e);
  };
  for (int i = 0; i < entry; ++i) {
    press(InputEvent::Kind::KeyDown, t += 50, vbKeyRight);
    press(InputEvent::Kind::KeyUp, t += 50, vbKeyRight);
  }
  press(InputEvent::Kind::KeyDown, t += 50, vbKeyZ);
  press(InputEvent::Kind::KeyUp, t += 50, vbKeyZ);
  while (t < until) {
    t += gap(rng);
    const int key = kKeys[pick(rng)];
    const std::int64_t up = t + hold(rng);
    press(InputEvent::Kind::KeyDown, t, key);
    for (int r = repeats(rng), i = 1; i <= r; ++i) press(InputEvent::Kind::KeyRepeat, t + (up - t) * i / (r + 1), key);
    press(InputEvent::Kind::KeyUp, t = up, key);
  }
  return events;
}

}  // namespace qs::test
