// Media files that lie about themselves, of every kind: an effect holds the
// program only for the sound it really holds, a tune or picture the game
// cannot use is refused from its header, and each is named once on standard
// error while the game goes on.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/sdl/audio/sdl_audio_device.h"
#include "platform/sdl/draw/picture_cache.h"
#include "sound/midi_file.h"
#include "support/headless_run.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

// 500 ms of 16-bit mono at 16000 Hz, with header fields (offset, value, width) set.
Bytes wav(std::initializer_list<std::tuple<std::size_t, std::uint32_t, int>> fields, std::size_t size = 0) {
  Bytes b = wavBytes(16000, 8000);
  if (size) b.resize(size);
  for (auto [at, v, n] : fields)
    for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  return b;
}
constexpr std::size_t kTag = 20, kRate = 24, kByteRate = 28, kData = 40;

// A 24-bit BMP whose header says `width` × `height`, of 630 bytes whatever it
// claims; `core` picks the oldest, 12-byte header with 16-bit sides.
Bytes bmp(std::int32_t width, std::int32_t height, bool core = false) {
  const std::uint32_t info = core ? 12 : 40;
  Bytes b{'B', 'M'};
  for (std::uint32_t v : {630u, 0u, 14 + info, info}) mediagen::putU32le(b, v);
  for (std::int32_t side : {width, height}) (core ? mediagen::putU16le : mediagen::putU32le)(b, std::uint32_t(side));
  mediagen::putU16le(b, 1), mediagen::putU16le(b, 24);
  b.resize(630, 0x80);
  return b;
}

struct Bad {
  const char* name;
  Bytes bytes;
  std::int64_t ms;  // an effect's hold, a tune's length; 0 when refused
  std::string why;  // what standard error says; empty when it plays
  bool synthReads = true;
};

TEST(BadMedia, EachIsJudgedFromWhatItHoldsAndNamedOnce) {
  Bytes list = wavBytes(8000, 800);  // 100 ms after a "LIST" chunk of odd size, padded
  list.insert(list.begin() + 12, {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
  Bytes longHeader = tuneOfMs(100);  // a header chunk of 8 bytes: the game reads it, the synthesizer does not
  longHeader[7] = 8;
  longHeader.insert(longHeader.begin() + 14, {0, 0});
  // clang-format off
  const Bad cases[] = {
      {"claims-more.wav", wav({{kData, 32000 * 60, 4}}), 500, ""},
      {"streamed.wav", wav({{kData, 0xFFFFFFFF, 4}}), 500, ""},
      {"odd-tail.wav", wav({{kData, 0xFFFFFFFF, 4}}, 44 + 16000 - 33), 499, ""},  // half a frame counts for nothing
      {"slow-byte-rate.wav", wav({{kByteRate, 1, 4}}), 500, ""},
      {"list-first.wav", list, 100, ""},
      {"float.wav", wav({{kTag, 3, 2}}), 0, "it is not a PCM WAV file (format 3)"},
      {"one-hertz.wav", wav({{kRate, 1, 4}}), 0, "its sample rate (1 Hz) is out of range"},
      {"fifty-minutes.wav", wav({{kData, 0xFFFFFFFF, 4}, {kRate, 1000, 4}}, 44 + 2 * 3000000), 0,
       "it is too long for the sound output to convert"},
      {"cut-header.wav", wav({}, 30), 0, "its header is cut short"},
      {"avi.wav", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, 0, "it is not a WAV file"},
      {"good.mid", tuneOfMs(1234), 1234, ""},
      {"huge.mid", tuneOfMs(1000), 0, "it is larger than any tune the game plays"},  // made sparse below
      {"junk.mid", {'M', 'T', 'h', 'd', 0, 0}, 0, "it is not a MIDI file"},
      {"events.mid", busyTune(kMaxMidiEvents + 1, 1), 0, "it holds more events than any tune the game plays"},
      {"tempos.mid", busyTune(kMaxMidiTempos + 2, kMaxMidiTempos + 1), 0,
       "it changes tempo more often than any tune the game plays"},
      {"busiest.mid", busyTune(kMaxMidiEvents, kMaxMidiTempos), 1, ""},  // 1 ms before the first, fast, tempo
      {"smpte.mid", midiBytes(0xE728, {Track().noteOn(0, 60).after(100).noteOff(0, 60).end()}), 100, "", false},
      {"long-header.mid", longHeader, 100, "", false},
      {"huge.bmp", bmp(65536, 65536), 0, "it is 65536 x 65536 pixels, larger than any picture the game shows"},
      {"tall-top-down.bmp", bmp(32, -100000), 0, "it is 32 x 100000 pixels, larger than any picture the game shows"},
      {"huge-core.bmp", bmp(65535, 2, true), 0, "it is 65535 x 2 pixels, larger than any picture the game shows"},
      {"empty.bmp", bmp(0, 32), 0, "it has no pixels"},
      {"not-a-bmp.bmp", Bytes(630, 'x'), 0, "it is not a BMP picture"},
      {"fine.bmp", bmp(2, 2), 0, ""},
      {"fine-top-down.bmp", bmp(2, -2), 0, ""},
      {"fine-core.bmp", bmp(2, 2, true), 0, ""},
  };
  // clang-format on
  HeadlessRun run;
  PictureCache pictures(run.dir(), "Qspe");
  for (const Bad& c : cases) writeBytes(run.file(c.name), c.bytes);
  ASSERT_EQ(truncate(run.file("huge.mid").c_str(), off_t{1} << 30), 0);  // a gigabyte
  ::testing::internal::CaptureStderr();
  std::int64_t t = 100;
  for (const Bad& c : cases) {
    const std::string path = run.file(c.name), kind = path.substr(path.size() - 3);
    run.at(t, [&, path, kind, t] {
      SCOPED_TRACE(c.name);
      for (int twice = 0; twice < 2; ++twice) {
        if (kind == "wav") {
          run.sound().sndPlaySound(path, SoundMode::Wait);
          EXPECT_EQ(run.rt().now(), t + (twice + 1) * c.ms);
        } else if (kind == "mid") {
          run.sound().mciSendString("open " + path + " alias midifile");
          EXPECT_EQ(run.sound().musicLengthMs().value_or(0), c.ms);
        } else {
          EXPECT_EQ(pictures.get(c.name) != nullptr, c.why.empty()) << SDL_GetError();
        }
      }
      EXPECT_TRUE(kind != "mid" || c.ms == 0 || synthesizerReads(c.bytes) == c.synthReads);
    });
    t += 10000;
  }
  run.runUntil(t);
  const std::string said = ::testing::internal::GetCapturedStderr();
  for (const Bad& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string verb = std::string(c.name).ends_with(".bmp") ? "show " : "play ";
    const std::string line =
        "Qspe: cannot " + verb + run.file(c.name) + ": " + c.why + "; the game goes on without it\n";
    const auto first = said.find(run.file(c.name) + ":");
    EXPECT_EQ(first != std::string::npos, !c.why.empty()) << said;
    EXPECT_TRUE(c.why.empty() || said.find(line) != std::string::npos) << line << said;
    EXPECT_EQ(first, said.rfind(run.file(c.name) + ":")) << "named once";
  }
}

}  // namespace
}  // namespace qs::test
