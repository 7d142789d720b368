// Media files that lie about themselves: a sound effect holds the program
// only for the sound its file really holds, a tune too large for the game is
// refused before it is read, and each file that cannot be played is named
// once on standard error.
#include <gtest/gtest.h>
#include <unistd.h>


#include "sound/midi_file.h"
#include "support/headless_run.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

using Lines = std::vector<std::string>;

void setLe(Bytes& b, std::size_t at, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Offsets in the 44-byte header that wavBytes writes.
constexpr std::size_t kFormatTag = 20, kRate = 24, kByteRate = 28, kDataSize = 40;

// 8000 frames of 16-bit mono at 16000 Hz: 500 ms.
Bytes halfSecond() { return wavBytes(16000, 8000); }

// The 500 ms file with one header field set to `value` (`width` bytes at
// `at`; none when width is 0), cut or padded with silence to `size` bytes (0:
// left whole), and its sample rate set to `rate` (0: left at 16000 Hz).
struct BadWav {
  const char* name;
  std::size_t at;
  std::uint32_t value;
  int width;
  std::size_t size;
  std::int64_t ms;  // the traced length, and the hold
  const char* why;  // what standard error says of it; empty when it plays
  std::uint32_t rate = 0;
  Bytes bytes() const {
    Bytes b = halfSecond();
    if (size) b.resize(size);
    if (width) setLe(b, at, value, width);
    if (rate) setLe(b, kRate, rate, 4);
    return b;
  }
};

TEST(BadWav, TheLengthComesFromTheSoundPresentAndWhatCannotPlayIsNamedOnce) {
  const std::size_t whole = halfSecond().size();
  const BadWav cases[] = {
      {"claims-more.wav", kDataSize, 32000 * 60, 4, 0, 500, ""},  // a minute
      {"streamed.wav", kDataSize, 0xFFFFFFFF, 4, 0, 500, ""},     // 27 hours
      // a frame cut in half at the end counts for nothing
      {"odd-tail.wav", kDataSize, 0xFFFFFFFF, 4, whole - 16 * 2 - 1, 499, ""},
      {"slow-byte-rate.wav", kByteRate, 1, 4, 0, 500, ""},  // the bytes-per-second field is not believed
      {"float.wav", kFormatTag, 3, 2, 0, 0, "it is not a PCM WAV file (format 3)"},
      {"one-hertz.wav", kRate, 1, 4, 0, 0, "its sample rate (1 Hz) is out of range"},
      // 50 minutes at 1000 Hz: more than the output converts, so it plays nothing
      {"fifty-minutes.wav", kDataSize, 0xFFFFFFFF, 4, 44 + 2 * 3000000, 0,
       "it is too long for the sound output to convert", 1000},
      {"cut-header.wav", 0, 0, 0, 30, 0, "its header is cut short"},  // ends inside the format chunk
      {"text.wav", 0, 0, 0, 0, 0, "it is not a WAV file"},
  };
  HeadlessRun run;
  for (const BadWav& c : cases)
    writeBytes(run.file(c.name), std::string(c.name) == "text.wav" ? Bytes{'h', 'e', 'l', 'l', 'o'} : c.bytes());
  std::vector<std::int64_t> after;  // the run's clock once each waiting sound returned
  ::testing::internal::CaptureStderr();
  std::int64_t t = 100;
  for (const BadWav& c : cases) {
    run.at(t, [&, name = std::string(c.name)] {
      run.sound().sndPlaySound(run.file(name), SoundMode::Wait);
      after.push_back(run.rt().now());
      run.sound().sndPlaySound(run.file(name), SoundMode::Background);
    });
    t += 1000;
  }
  run.runUntil(t);
  std::string said = ::testing::internal::GetCapturedStderr();

  ASSERT_EQ(after.size(), std::size(cases));
  t = 100;
  for (std::size_t i = 0; i < std::size(cases); ++i, t += 1000) {
    const BadWav& c = cases[i];
    SCOPED_TRACE(c.name);
    std::string ms = std::to_string(c.ms);
    EXPECT_EQ(run.trace().grep(std::string(" wav ") + c.name + " "),
              (Lines{std::to_string(t) + " wav " + c.name + " wait " + ms,
                     std::to_string(t + c.ms) + " wav " + c.name + " async " + ms}));
    EXPECT_EQ(after[i], t + c.ms);
    std::string line = "Qspe: cannot play " + run.file(c.name) + ": " + c.why + "; the game goes on without it\n";
    auto first = said.find(run.file(c.name) + ":");
    if (*c.why) {
      EXPECT_NE(said.find(line), std::string::npos) << said;
      EXPECT_EQ(first, said.rfind(run.file(c.name) + ":")) << "named once: " << said;
    } else {
      EXPECT_EQ(first, std::string::npos) << said;
    }
  }
}

TEST(BadMidi, AHugeFileIsRefusedFromItsSizeWithoutBeingRead) {
  HeadlessRun run;
  const std::string path = run.file("huge.mid");
  Bytes head = tuneOfMs(1000);
  writeBytes(path, head);
  ASSERT_EQ(truncate(path.c_str(), off_t{1} << 30), 0);  // a gigabyte, sparse

  MidiLoadError why = MidiLoadError::None;
  EXPECT_EQ(loadMidiFile(path, why), nullptr);
  EXPECT_EQ(why, MidiLoadError::TooLarge);

  // The same through the media-control device: refused, and said so.
  ::testing::internal::CaptureStderr();
  run.at(100, [&] { run.sound().mciSendString("open " + path + " type sequencer alias midifile"); });
  run.runUntil(200);
  std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(run.sound().mciError(), 0);
  EXPECT_NE(said.find("cannot play " + path + ": it is larger than any tune the game plays"), std::string::npos)
      << said;
}

}  // namespace
}  // namespace qs::test
