// Processor time that the sound output takes while the program idles: first
// with the device open and nothing sounding, then with a tune looping the
// way the music player loops it (a status poll every 250 ms, a restart from 0
// when it has ended).
//
//   music_cpu [FILE.mid] [SECONDS]
//
// FILE defaults to title.mid in the program directory. The audio driver is
// SDL's choice, or SDL_AUDIODRIVER's (for instance "disk" on a machine
// without a sound card, which renders in real time all the same).
#include <SDL.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/sdl/audio/sdl_audio.h"
#include "sound/mci_sequencer.h"

namespace {

double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  auto secs = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return secs(u.ru_utime) + secs(u.ru_stime);
}

double wallSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Runs `poll` every 250 ms for `seconds`; returns the share of one core used.
template <class Poll>
double measure(double seconds, Poll poll) {
  double cpu0 = cpuSeconds(), wall0 = wallSeconds();
  while (wallSeconds() - wall0 < seconds) {
    SDL_Delay(250);
    poll();
  }
  return (cpuSeconds() - cpu0) / (wallSeconds() - wall0);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef QSPE_PROGRAM_DIR
  std::string file = std::string(QSPE_PROGRAM_DIR) + "/title.mid";
#else
  std::string file = "title.mid";
#endif
  if (argc > 1) file = argv[1];
  double seconds = argc > 2 ? std::atof(argv[2]) : 10;

  auto audio = qs::openSdlAudio("music_cpu");
  const char* driver = SDL_GetCurrentAudioDriver();
  qs::MciSequencer mci([] { return static_cast<std::int64_t>(SDL_GetTicks()); }, *audio);

  double idle = measure(seconds / 2, [] {});

  mci.send("open " + file + " type sequencer alias midifile");
  if (mci.lastError() != 0) {
    std::fprintf(stderr, "music_cpu: cannot open %s (error %d)\n", file.c_str(), mci.lastError());
    return 1;
  }
  mci.send("play midifile");
  double playing = measure(seconds, [&] {
    if (mci.send("status midifile mode") == "stopped") mci.send("play midifile from 0");
  });
  mci.send("close midifile");

  std::printf("audio driver: %s\n", driver ? driver : "(none)");
  std::printf("idle, nothing sounding: %5.2f%% of one core\n", idle * 100);
  std::printf("music looping:          %5.2f%% of one core (%s, %.0f s)\n", playing * 100, file.c_str(), seconds);
  audio.reset();
  SDL_Quit();
  return 0;
}
