// Media the SDL backend cannot use: pictures that lie about their size are
// refused from their header, before any pixel is decoded, and tunes the
// synthesizer cannot read are found out before they are to sound; each is
// named once on standard error.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio_child.h"
#include "platform/sdl/picture_cache.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_audio_device.h"
#include "platform/sdl/soundfont.h"
#include "sound/midi_file.h"
#include "support/files.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

// A 24-bit BMP whose header says `width` × `height` and that holds pixels for
// 2 × 2 at most: `coreHeader` picks the oldest, 12-byte info header with
// 16-bit sides. The whole file is 630 bytes, as small as the header lies big.
Bytes bmp(std::int32_t width, std::int32_t height, bool coreHeader = false) {
  const auto w = static_cast<std::uint32_t>(width), h = static_cast<std::uint32_t>(height);
  const std::uint32_t info = coreHeader ? 12 : 40;
  const int side = coreHeader ? 2 : 4;
  Bytes b{'B', 'M'};
  const std::pair<std::uint32_t, int> fields[] = {{630, 4}, {0, 4}, {14 + info, 4}, {info, 4},
                                                  {w, side}, {h, side}, {1, 2},  {24, 2}};
  for (auto [v, n] : fields) putLe(b, v, n);
  if (!coreHeader)
    for (std::uint32_t v : {0u, 0u, 2835u, 2835u, 0u, 0u}) putLe(b, v, 4);
  b.resize(630, 0x80);
  return b;
}

TEST(Pictures, APictureLargerThanAnyTheGameShowsIsRefusedFromItsHeader) {
  struct Case {
    const char* name;
    Bytes bytes;
    const char* why;  // empty: it loads
  };
  const Case cases[] = {
      {"huge.bmp", bmp(65536, 65536), "it is 65536 x 65536 pixels, larger than any picture the game shows"},
      {"tall-top-down.bmp", bmp(32, -100000), "it is 32 x 100000 pixels"},
      {"huge-core.bmp", bmp(65535, 2, true), "it is 65535 x 2 pixels"},
      {"empty.bmp", bmp(0, 32), "it has no pixels"},
      {"not-a-bmp.bmp", Bytes(630, 'x'), "it is not a BMP picture"},
      {"fine.bmp", bmp(2, 2), ""},
      {"fine-top-down.bmp", bmp(2, -2), ""},
      {"fine-core.bmp", bmp(2, 2, true), ""},
  };
  TempDir dir;
  for (const Case& c : cases) writeBytes(dir.file(c.name), c.bytes);
  PictureCache pictures(dir.path(), "Qspe");
  ::testing::internal::CaptureStderr();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SDL_Surface* s = pictures.get(c.name);
    if (*c.why) EXPECT_EQ(s, nullptr);
    else ASSERT_NE(s, nullptr) << SDL_GetError();
  }
  std::string said = ::testing::internal::GetCapturedStderr();
  for (const Case& c : cases) {
    std::string start = "Qspe: cannot show " + dir.file(c.name) + ": ";
    if (*c.why) EXPECT_NE(said.find(start + c.why), std::string::npos) << said;
    else EXPECT_EQ(said.find(start), std::string::npos) << said;
  }
}

TEST(Pictures, APictureThatFailedIsRememberedAndNamedOnce) {
  TempDir dir;
  writeBytes(dir.file("huge.bmp"), bmp(65536, 65536));
  writeBytes(dir.file("good.bmp"), bmp(2, 2));
  PictureCache pictures(dir.path(), "Qspe");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(pictures.get("huge.bmp"), nullptr);
  writeBytes(dir.file("huge.bmp"), bmp(2, 2));  // mended meanwhile: not read again
  EXPECT_EQ(pictures.get("huge.bmp"), nullptr);
  // A picture the renderer would not take is dropped the same way.
  ASSERT_NE(pictures.get("good.bmp"), nullptr);
  pictures.refuse("good.bmp", "the renderer cannot take it");
  pictures.refuse("good.bmp", "the renderer cannot take it");
  EXPECT_EQ(pictures.get("good.bmp"), nullptr);
  std::string said = ::testing::internal::GetCapturedStderr();
  const std::string goesOn = "; the game goes on without it\n";
  EXPECT_EQ(said, "Qspe: cannot show " + dir.file("huge.bmp") +
                      ": it is 65536 x 65536 pixels, larger than any picture the game shows" + goesOn +
                      "Qspe: cannot show " + dir.file("good.bmp") + ": the renderer cannot take it" + goesOn);
}

// Files whose timing the game reads but FluidSynth does not.
Bytes smpteTimed() {
  Track t;
  t.noteOn(0, 60).after(100).noteOff(0, 60).end();
  return midiBytes(0xE728, {t});  // 25 frames a second, 40 ticks a frame
}

Bytes longHeader() {
  Bytes b = tuneOfMs(100);
  b[7] = 8;
  b.insert(b.begin() + 14, {0, 0});
  return b;
}

TEST(Tunes, TheSynthesizerIsAskedWhetherItReadsATune) {
  ASSERT_TRUE(parseMidiTiming(smpteTimed()));
  ASSERT_TRUE(parseMidiTiming(longHeader()));
  EXPECT_TRUE(synthesizerReads(tuneOfMs(100)));
  EXPECT_FALSE(synthesizerReads(smpteTimed()));
  EXPECT_FALSE(synthesizerReads(longHeader()));
}

TEST(Tunes, ATuneTheSynthesizerCannotReadIsNamedOnce) {
  if (findSoundFont(std::getenv("SDL_SOUNDFONTS")).path.empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
  TempDir dir;
  std::string bad = dir.file("smpte.mid"), good = dir.file("good.mid");
  writeBytes(bad, smpteTimed());
  writeBytes(good, tuneOfMs(100));
  auto r = inChild({{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", dir.file("out.raw")}}, [&] {
    auto audio = openSdlAudio("Qspe");
    MidiLoadError why;
    for (const std::string& path : {bad, good, bad}) audio->openMusic(loadMidiFile(path, why));
    return 0;
  });
  ASSERT_EQ(r.status, 0);
  const std::string& err = r.err;
  EXPECT_NE(err.find("Qspe: cannot play " + bad + ": the MIDI synthesizer cannot read it; the game goes on"),
            std::string::npos)
      << err;
  EXPECT_EQ(err.find(bad), err.rfind(bad)) << "once: " << err;
  EXPECT_EQ(err.find(good), std::string::npos) << err;
}

}  // namespace
}  // namespace qs::test
