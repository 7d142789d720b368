// Checks the generated media the way the game and its players will meet it:
// by reading the encoded files back with small independent parsers, and by
// mixing the effects with the tunes as the game's synthesizer plays them.
#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "bmp_writer.h"
#include "icons.h"
#include "loudness.h"
#include "media.h"
#include "pixel_font.h"
#include "score.h"
#include "wav_writer.h"
#include "sound/midi_file.h"
#include "support/files.h"
#include "support/png_file.h"

namespace mg = qs::mediagen;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::uint32_t le(const Bytes& b, std::size_t at, int width) {
  if (at + static_cast<std::size_t>(width) > b.size()) throw std::out_of_range("read past end");
  std::uint32_t v = 0;
  for (int i = width - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

std::uint32_t be(const Bytes& b, std::size_t at, int width) {
  if (at + static_cast<std::size_t>(width) > b.size()) throw std::out_of_range("read past end");
  std::uint32_t v = 0;
  for (int i = 0; i < width; ++i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

std::string tag(const Bytes& b, std::size_t at) {
  if (at + 4 > b.size()) throw std::out_of_range("read past end");
  return std::string(b.begin() + static_cast<std::ptrdiff_t>(at),
                     b.begin() + static_cast<std::ptrdiff_t>(at + 4));
}

const std::vector<mg::MediaFile>& media() {
  static const std::vector<mg::MediaFile> files = mg::generateMedia();
  return files;
}

const mg::MediaFile& file(const std::string& name) {
  for (const auto& f : media())
    if (f.name == name) return f;
  throw std::out_of_range("no generated file " + name);
}

// ---- WAV -------------------------------------------------------------------

struct Wav {
  std::uint32_t rate = 0;
  std::vector<std::int16_t> samples;
  double seconds() const { return static_cast<double>(samples.size()) / rate; }
};

// Accepts only the canonical 44-byte-header layout of 16-bit mono PCM.
Wav parseWav(const Bytes& b) {
  if (b.size() < 44 || tag(b, 0) != "RIFF" || tag(b, 8) != "WAVE" || tag(b, 12) != "fmt " ||
      tag(b, 36) != "data")
    throw std::runtime_error("not a canonical WAV");
  if (le(b, 4, 4) != b.size() - 8) throw std::runtime_error("RIFF size mismatch");
  if (le(b, 16, 4) != 16 || le(b, 20, 2) != 1) throw std::runtime_error("not plain PCM");
  if (le(b, 22, 2) != 1 || le(b, 34, 2) != 16) throw std::runtime_error("not 16-bit mono");
  Wav w;
  w.rate = le(b, 24, 4);
  if (le(b, 28, 4) != w.rate * 2 || le(b, 32, 2) != 2)
    throw std::runtime_error("byte rate or block align wrong");
  const std::uint32_t data = le(b, 40, 4);
  if (data != b.size() - 44 || data % 2 != 0) throw std::runtime_error("data size mismatch");
  for (std::size_t i = 44; i < b.size(); i += 2) w.samples.push_back(static_cast<std::int16_t>(le(b, i, 2)));
  return w;
}

std::vector<float> unitSamples(const Wav& w) {
  std::vector<float> out;
  for (std::int16_t s : w.samples) out.push_back(static_cast<float>(s) / 32768.0f);
  return out;
}

// Loudness as the game plays the effect: the same signal on both channels.
double playedLufs(const Wav& w) {
  return mg::maxMomentaryLufs(unitSamples(w), 1, static_cast<int>(w.rate)) + 10.0 * std::log10(2.0);
}

struct EffectBounds {
  const char* name;
  double minSeconds;
  double maxSeconds;
};

// Lengths the game's timing relies on ("high" freezes play while it runs).
const EffectBounds kEffects[] = {
    {"choice.wav", 0.03, 0.3},  {"end.wav", 0.3, 1.5},    {"start.wav", 0.3, 1.5},
    {"high.wav", 0.5, 1.0},     {"hit.wav", 0.05, 0.4},   {"miss.wav", 0.2, 1.0},
    {"gameover.wav", 1.0, 3.0}, {"clear.wav", 1.0, 3.0},  {"pow.wav", 0.2, 1.0},
    {"appear.wav", 0.5, 1.5},   {"death.wav", 0.5, 1.5},  {"katana.wav", 0.05, 0.5},
    {"zack.wav", 0.05, 0.5},    {"wall.wav", 0.03, 0.4},  {"take.wav", 0.05, 0.5},
    {"thndr1.wav", 1.0, 2.5},   {"thndr2.wav", 1.0, 2.5},
};

// ---- MIDI ------------------------------------------------------------------

struct MidiEvent {
  std::uint32_t tick;
  std::uint8_t status;  // 0xFF for meta
  std::uint8_t metaType = 0;
  Bytes data;
};

struct Midi {
  int format = 0;
  std::uint32_t division = 0;
  std::vector<std::vector<MidiEvent>> tracks;

  const MidiEvent* meta(std::uint8_t type) const {
    for (const auto& t : tracks)
      for (const auto& e : t)
        if (e.status == 0xFF && e.metaType == type) return &e;
    return nullptr;
  }
};

std::uint32_t readVlq(const Bytes& b, std::size_t& at, std::size_t end) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) {
    if (at >= end) throw std::runtime_error("truncated variable-length number");
    const std::uint8_t c = b[at++];
    v = (v << 7) | (c & 0x7Fu);
    if ((c & 0x80u) == 0) return v;
  }
  throw std::runtime_error("variable-length number longer than 4 bytes");
}

Midi parseMidi(const Bytes& b) {
  if (tag(b, 0) != "MThd" || be(b, 4, 4) != 6) throw std::runtime_error("bad header chunk");
  Midi m;
  m.format = static_cast<int>(be(b, 8, 2));
  const std::uint32_t declaredTracks = be(b, 10, 2);
  m.division = be(b, 12, 2);
  if (m.format > 1 || m.division == 0 || (m.division & 0x8000u))
    throw std::runtime_error("unsupported header");
  std::size_t at = 14;
  while (at < b.size()) {
    if (tag(b, at) != "MTrk") throw std::runtime_error("expected a track chunk");
    const std::size_t end = at + 8 + be(b, at + 4, 4);
    if (end > b.size()) throw std::runtime_error("track chunk overruns the file");
    at += 8;
    std::vector<MidiEvent> events;
    std::uint32_t tick = 0;
    std::uint8_t running = 0;
    bool ended = false;
    while (at < end) {
      if (ended) throw std::runtime_error("events after end of track");
      tick += readVlq(b, at, end);
      std::uint8_t status = b.at(at);
      if (status & 0x80u)
        ++at;
      else if (running != 0)
        status = running;
      else
        throw std::runtime_error("running status without a status");
      MidiEvent e{tick, status, 0, {}};
      if (status == 0xFF) {
        e.metaType = b.at(at++);
        const std::uint32_t len = readVlq(b, at, end);
        e.data.assign(b.begin() + static_cast<std::ptrdiff_t>(at),
                      b.begin() + static_cast<std::ptrdiff_t>(at + len));
        at += len;
        ended = e.metaType == 0x2F;
      } else if (status == 0xF0 || status == 0xF7) {
        at += readVlq(b, at, end);
      } else {
        running = status;
        const int kind = status >> 4;
        const std::size_t len = (kind == 0xC || kind == 0xD) ? 1 : 2;
        e.data.assign(b.begin() + static_cast<std::ptrdiff_t>(at),
                      b.begin() + static_cast<std::ptrdiff_t>(at + len));
        at += len;
      }
      if (at > end) throw std::runtime_error("event overruns its track");
      events.push_back(std::move(e));
    }
    if (!ended) throw std::runtime_error("track without end-of-track event");
    m.tracks.push_back(std::move(events));
  }
  if (m.tracks.size() != declaredTracks) throw std::runtime_error("track count mismatch");
  return m;
}

struct SoundingNote {
  std::uint32_t on;
  std::uint32_t off;
  int channel;
  int key;
};

// Pairs note-ons with note-offs (or velocity-0 note-ons); throws on a
// retriggered or unreleased key.
std::vector<SoundingNote> notesOf(const Midi& m) {
  std::vector<SoundingNote> notes;
  for (const auto& t : m.tracks) {
    std::map<std::pair<int, int>, std::uint32_t> open;
    for (const auto& e : t) {
      const int kind = e.status >> 4;
      if (kind != 0x8 && kind != 0x9) continue;
      const std::pair<int, int> id{e.status & 0x0F, e.data[0]};
      if (kind == 0x9 && e.data[1] > 0) {
        if (open.count(id)) throw std::runtime_error("key struck while still sounding");
        open[id] = e.tick;
      } else {
        auto it = open.find(id);
        if (it == open.end()) throw std::runtime_error("note-off without note-on");
        notes.push_back({it->second, e.tick, id.first, id.second});
        open.erase(it);
      }
    }
    if (!open.empty()) throw std::runtime_error("note left hanging at end of track");
  }
  return notes;
}

const char* const kTunes[] = {"select.mid", "title.mid", "bgm.mid", "fbgm.mid"};

struct TuneLevels {
  double lufs;  // integrated, both channels
  float peak;   // highest sample on either channel
};

// Each tune rendered offline as the game's synthesizer plays it: FluidSynth
// with the TimGM6mb General MIDI soundfont, 44.1 kHz stereo, synth gain 0.5
// and no chorus (as platform/sdl/fluid_music.cpp sets it up). Empty when
// the soundfont is not installed.
const std::map<std::string, TuneLevels>& tuneLevels() {
  static const std::map<std::string, TuneLevels> levels = [] {
    std::map<std::string, TuneLevels> out;
    const char* const soundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
    if (!std::filesystem::is_regular_file(soundfont)) return out;
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
      fluid_set_log_function(level, nullptr, nullptr);
    constexpr int kRate = 44100;
    for (const char* name : kTunes) {
      fluid_settings_t* settings = new_fluid_settings();
      fluid_settings_setnum(settings, "synth.sample-rate", kRate);
      fluid_settings_setnum(settings, "synth.gain", 0.5);
      fluid_settings_setint(settings, "synth.polyphony", 128);
      fluid_settings_setint(settings, "synth.chorus.active", 0);
      fluid_settings_setstr(settings, "player.timing-source", "sample");  // offline: time is samples rendered
      fluid_synth_t* synth = new_fluid_synth(settings);
      fluid_player_t* player = new_fluid_player(synth);
      const Bytes& midi = file(name).bytes;
      const bool ready = fluid_synth_sfload(synth, soundfont, 1) != FLUID_FAILED &&
                         fluid_player_add_mem(player, midi.data(), midi.size()) == FLUID_OK &&
                         fluid_player_play(player) == FLUID_OK;
      std::vector<float> stereo;
      float left[1024], right[1024];
      while (ready && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING) {
        fluid_synth_write_float(synth, 1024, left, 0, 1, right, 0, 1);
        for (int i = 0; i < 1024; ++i) stereo.insert(stereo.end(), {left[i], right[i]});
      }
      delete_fluid_player(player);
      delete_fluid_synth(synth);
      delete_fluid_settings(settings);
      if (!ready) throw std::runtime_error(std::string("FluidSynth cannot play ") + name);
      float peak = 0.0f;
      for (float v : stereo) peak = std::max(peak, std::abs(v));
      out[name] = {mg::integratedLufs(stereo, 2, kRate), peak};
    }
    return out;
  }();
  return levels;
}

// ---- BMP -------------------------------------------------------------------

struct Bmp {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<mg::Rgb> palette;
  std::vector<std::vector<std::uint8_t>> rows;  // top row first
};

Bmp parseBmp4(const Bytes& b) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') throw std::runtime_error("not a BMP");
  if (le(b, 2, 4) != b.size()) throw std::runtime_error("file size field wrong");
  if (le(b, 14, 4) != 40) throw std::runtime_error("not BITMAPINFOHEADER");
  Bmp bmp;
  bmp.width = le(b, 18, 4);
  const auto height = static_cast<std::int32_t>(le(b, 22, 4));
  if (height <= 0) throw std::runtime_error("expected bottom-up rows");
  bmp.height = static_cast<std::uint32_t>(height);
  if (le(b, 26, 2) != 1 || le(b, 28, 2) != 4 || le(b, 30, 4) != 0)
    throw std::runtime_error("not uncompressed 4bpp");
  const std::uint32_t colours = le(b, 46, 4) == 0 ? 16 : le(b, 46, 4);
  for (std::uint32_t i = 0; i < colours; ++i) {
    const std::size_t p = 54 + 4 * i;
    bmp.palette.push_back({b.at(p + 2), b.at(p + 1), b.at(p)});
  }
  const std::uint32_t offset = le(b, 10, 4);
  const std::uint32_t stride = (bmp.width * 4 + 31) / 32 * 4;
  if (offset != 54 + 4 * colours || offset + stride * bmp.height != b.size())
    throw std::runtime_error("pixel data misplaced");
  bmp.rows.resize(bmp.height);
  for (std::uint32_t r = 0; r < bmp.height; ++r) {
    const std::size_t base = offset + static_cast<std::size_t>(bmp.height - 1 - r) * stride;
    for (std::uint32_t x = 0; x < bmp.width; ++x) {
      const std::uint8_t byte = b[base + x / 2];
      bmp.rows[r].push_back(x % 2 == 0 ? byte >> 4 : byte & 0x0F);
    }
  }
  return bmp;
}

}  // namespace

// ---- tests -----------------------------------------------------------------

TEST(WavWriter, ClampsAndEncodesLittleEndianSamples) {
  const float in[] = {0.0f, 1.0f, -2.0f, 0.5f};
  const Wav w = parseWav(mg::encodeWav(in, 44100));
  EXPECT_EQ(w.rate, 44100u);
  ASSERT_EQ(w.samples.size(), 4u);
  EXPECT_EQ(w.samples[0], 0);
  EXPECT_EQ(w.samples[1], 32767);
  EXPECT_EQ(w.samples[2], -32767);
  EXPECT_EQ(w.samples[3], 16384);
}

class SoundEffect : public ::testing::TestWithParam<EffectBounds> {};

TEST_P(SoundEffect, IsACleanWavOfTheRightLength) {
  Wav w;
  ASSERT_NO_THROW(w = parseWav(file(GetParam().name).bytes));
  EXPECT_TRUE(w.rate == 22050 || w.rate == 44100);
  EXPECT_GE(w.seconds(), GetParam().minSeconds);
  EXPECT_LE(w.seconds(), GetParam().maxSeconds);
  double sum = 0.0;
  std::size_t atFullScale = 0;
  for (std::int16_t s : w.samples) {
    sum += s;
    if (std::abs(static_cast<int>(s)) >= 32767) ++atFullScale;
  }
  EXPECT_EQ(atFullScale, 0u);
  EXPECT_LT(std::abs(sum / static_cast<double>(w.samples.size())), 0.01 * 32768) << "DC offset";
  // Starting or stopping away from zero is heard as a click.
  EXPECT_LT(std::abs(w.samples.front()), 300);
  EXPECT_LT(std::abs(w.samples.back()), 300);
}

// A parameter's test name: its file's name without the extension.
static std::string stem(const char* file) {
  const std::string name = file;
  return name.substr(0, name.find('.'));
}

INSTANTIATE_TEST_SUITE_P(Media, SoundEffect, ::testing::ValuesIn(kEffects),
                         [](const auto& info) { return stem(info.param.name); });

TEST(SoundEffects, SmallCuesStayBelowTheBigMoments) {
  std::map<std::string, double> lufs;
  for (const auto& fx : kEffects) lufs[fx.name] = playedLufs(parseWav(file(fx.name).bytes));
  for (const char* small : {"choice.wav", "hit.wav"})
    for (const char* big : {"high.wav", "clear.wav", "start.wav", "thndr1.wav", "thndr2.wav"})
      EXPECT_GE(lufs[big] - lufs[small], 2.0) << small << " against " << big;
  const auto [quietest, loudest] = std::minmax_element(
      lufs.begin(), lufs.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
  EXPECT_LE(loudest->second - quietest->second, 6.0) << loudest->first << " drowns " << quietest->first;
}

TEST(Mix, EffectsSitAFewLUAboveTheMusicAndNeverClipOverIt) {
  const auto& tunes = tuneLevels();
  if (tunes.empty()) GTEST_SKIP() << "the TimGM6mb soundfont is not installed";
  double music = 0.0;
  for (const auto& [name, tune] : tunes) music += tune.lufs / static_cast<double>(tunes.size());
  for (const auto& fx : kEffects) {
    SCOPED_TRACE(fx.name);
    const Wav w = parseWav(file(fx.name).bytes);
    const double lift = playedLufs(w) - music;
    EXPECT_GE(lift, 2.0);
    EXPECT_LE(lift, 8.0);
    // The mixer adds the effect to the music sample by sample and the peaks
    // may meet wherever the effect starts: their sum must stay in range.
    const double peak = mg::truePeak(unitSamples(w));
    for (const auto& [name, tune] : tunes) EXPECT_LT(peak + tune.peak, 32767.0 / 32768.0) << "over " << name;
  }
}

TEST(Loudness, MeterReadsTheReferenceLevels) {
  // A 1 kHz sine at full scale on one channel reads -3.01 LUFS; the
  // K-weighting lifts 1 kHz by 0.69 dB (which the -0.691 offsets) and its
  // high-pass (38 Hz, Q 0.5) takes 20 Hz down by 13.3 dB.
  struct Case {
    const char* what;
    double hz;
    double seconds;
    int channels;
    int rate;
    double lufs;
    double tolerance;
  };
  const Case cases[] = {
      {"1 kHz at -20 dBFS", 1000.0, 8.0, 1, 22050, -23.01, 0.05},
      {"on both channels", 1000.0, 8.0, 2, 44100, -20.0, 0.05},
      {"a burst a quarter of the window long", 1000.0, 0.1, 1, 22050, -29.03, 0.1},
      {"20 Hz", 20.0, 8.0, 1, 22050, -23.01 - 0.69 - 13.3, 0.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<float> signal;
    for (std::size_t i = 0; i < static_cast<std::size_t>(c.seconds * c.rate); ++i)
      for (int ch = 0; ch < c.channels; ++ch)
        signal.push_back(static_cast<float>(0.1 * std::sin(2.0 * std::acos(-1.0) * c.hz * i / c.rate)));
    EXPECT_NEAR(mg::maxMomentaryLufs(signal, c.channels, c.rate), c.lufs, c.tolerance);
    // Silence after the programme is gated out of the integrated level
    // (only the few blocks that straddle the end pull it down a little).
    signal.resize(signal.size() + static_cast<std::size_t>(2 * c.channels * c.rate), 0.0f);
    EXPECT_NEAR(mg::integratedLufs(signal, c.channels, c.rate), c.lufs, c.tolerance + 0.1);
  }
  // A quarter-rate sine sampled 45 degrees off its crests: the samples reach
  // 0.71, the wave between them 1.
  std::vector<float> quarter;
  for (int i = 0; i < 400; ++i) quarter.push_back(static_cast<float>(std::sin(std::acos(-1.0) * (i / 2.0 + 0.25))));
  EXPECT_NEAR(mg::truePeak(quarter), 1.0, 0.02);
}

class Tune : public ::testing::TestWithParam<const char*> {};

// Every track stops at the loop point and every note is released just before
// it: a hanging note would sound on through the restart, a long tail would
// leave a gap.
TEST_P(Tune, IsAWellFormedStandardMidiFileOf30To90SecondsThatLoopsCleanly) {
  Midi m;
  std::vector<SoundingNote> notes;
  const Bytes& bytes = file(GetParam()).bytes;
  ASSERT_NO_THROW(m = parseMidi(bytes));
  ASSERT_NO_THROW(notes = notesOf(m));
  ASSERT_FALSE(notes.empty());
  const std::optional<qs::MidiTiming> timing = qs::parseMidiTiming(bytes);  // as the game reads it
  ASSERT_TRUE(timing);
  EXPECT_NE(m.meta(0x51), nullptr) << "no tempo";
  std::size_t programs = 0;
  for (const auto& t : m.tracks)
    for (const auto& e : t) programs += (e.status >> 4) == 0xC;
  EXPECT_GE(programs, 3u);
  for (const auto& t : m.tracks) EXPECT_EQ(t.back().tick, timing->endTick());
  EXPECT_GE(timing->lengthMs(), 30000);
  EXPECT_LE(timing->lengthMs(), 90000);
  std::uint32_t lastOff = 0;
  for (const auto& n : notes) lastOff = std::max(lastOff, n.off);
  const std::int64_t tail = timing->lengthMs() - timing->msAt(lastOff);
  EXPECT_GE(tail, 0);
  EXPECT_LT(tail, 250);
}

INSTANTIATE_TEST_SUITE_P(Media, Tune, ::testing::ValuesIn(kTunes), [](const auto& info) { return stem(info.param); });

TEST(Score, PhraseNotationReadsPitchesDurationsTiesAndBars) {
  const mg::Phrase p = mg::parsePhrase("c4e d#4e bb3e. _s rh | g5w", 1920);
  ASSERT_EQ(p.notes.size(), 4u);
  EXPECT_EQ(p.length, 3840u);
  const int keys[] = {60, 63, 58, 79};
  const std::uint32_t starts[] = {0, 240, 480, 1920};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(p.notes[i].key, keys[i]);
    EXPECT_EQ(p.notes[i].start, starts[i]);
  }
  EXPECT_EQ(p.notes[2].length, 480u) << "dotted eighth tied to a sixteenth";

  EXPECT_THROW(mg::parsePhrase("c4q | d4q", 1920), std::invalid_argument);  // bar line mid-bar
  EXPECT_THROW(mg::parsePhrase("h4q", 1920), std::invalid_argument);
  EXPECT_THROW(mg::parsePhrase("c4x", 1920), std::invalid_argument);
  EXPECT_THROW(mg::parsePhrase("rq _q", 1920), std::invalid_argument);  // tie after a rest
}

TEST(Score, ChordSymbolsAndProgressions) {
  const mg::Chord fsm = mg::parseChord("F#m");
  EXPECT_EQ(fsm.root, 6);
  EXPECT_EQ(fsm.intervals, (std::vector<int>{0, 3, 7}));
  EXPECT_EQ(mg::parseChord("Bb7").root, 10);
  EXPECT_EQ(mg::parseChord("Bb7").intervals.back(), 10);
  EXPECT_EQ(mg::parseChord("Cb").root, 11);
  EXPECT_THROW(mg::parseChord("Hm"), std::invalid_argument);
  EXPECT_THROW(mg::parseChord("Cmaj9"), std::invalid_argument);

  const auto spans = mg::parseProgression("C | F G", 1920);
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_EQ(spans[1].start, 1920u);
  EXPECT_EQ(spans[2].start, 2880u);
  EXPECT_EQ(spans[2].length, 960u);
  EXPECT_EQ(spans[2].chord.root, 7);
  EXPECT_THROW(mg::parseProgression("C | | G", 1920), std::invalid_argument);
}

TEST(Score, ArrangerFollowsTheChordsAndGuardsSectionLengths) {
  mg::Song song{"t", 120.0, 4, 0, false, {{"bass", 0, 32, 100, 64, {}}, {"lead", 1, 0, 100, 64, {}}}};
  mg::Arranger a(song);
  a.section("C G | Am");
  a.bass(0, "R-------5-------", 36, 90);
  EXPECT_THROW(a.melody(1, "c5w", 90), std::invalid_argument);  // section is two bars
  EXPECT_THROW(a.bass(0, "R-----", 36, 90), std::invalid_argument);
  a.finish();
  EXPECT_EQ(song.length, 3840u);

  std::vector<int> keys;
  for (const auto& n : song.parts[0].notes) keys.push_back(n.key);
  // C root, G chord's fifth (D), then A root and E.
  EXPECT_EQ(keys, (std::vector<int>{36, 50, 45, 52}));
  for (const auto& n : song.parts[0].notes) EXPECT_LE(n.start + n.length, song.length);

  // A note running past the loop point must not reach the file.
  song.parts[1].notes.push_back({3000, 2000, 72, 90});
  EXPECT_THROW(mg::encodeSong(song), std::logic_error);
}

class MenuPicture : public ::testing::TestWithParam<const char*> {};

// Each picture is drawn in a few of the VGA colours, each of them plainly
// seen, on a background that fills the corners.
TEST_P(MenuPicture, IsASmall4BitBmpWithTheVgaPalette) {
  const mg::Rgb vga[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                           {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                           {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                           {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  Bmp bmp;
  ASSERT_NO_THROW(bmp = parseBmp4(file(GetParam()).bytes));
  ASSERT_EQ(bmp.width, 32u);
  ASSERT_EQ(bmp.height, 32u);
  ASSERT_EQ(bmp.palette.size(), 16u);
  for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(bmp.palette[i], vga[i]) << "palette entry " << i;
  for (const auto& [x, y] : {std::pair{31, 0}, std::pair{0, 31}, std::pair{31, 31}})
    EXPECT_EQ(bmp.rows[y][x], bmp.rows[0][0]);
  std::map<std::uint8_t, int> used;
  for (const auto& row : bmp.rows)
    for (std::uint8_t c : row) ++used[c];
  EXPECT_GE(used.size(), 2u);
  EXPECT_LE(used.size(), 3u);
  for (const auto& [c, count] : used) EXPECT_GE(count, 20) << "colour " << int(c) << " barely drawn";
}

INSTANTIATE_TEST_SUITE_P(Media, MenuPicture,
                         ::testing::Values("title0.bmp", "title1.bmp", "title2.bmp", "title3.bmp", "title4.bmp",
                                           "title5.bmp", "title6.bmp", "ques1.bmp", "ques2.bmp"),
                         [](const auto& info) { return stem(info.param); });

TEST(PixelFont, GlyphsAreRectangularAndTitlesFit) {
  std::set<char32_t> codes;
  for (const mg::Glyph& g : mg::fontGlyphs()) {
    EXPECT_TRUE(codes.insert(g.code).second) << "duplicate glyph";
    ASSERT_EQ(g.bitmap.height(), mg::kFontHeight);
    for (std::string_view row : g.bitmap.rows) {
      EXPECT_EQ(static_cast<int>(row.size()), g.bitmap.width());
      EXPECT_EQ(row.find_first_not_of(".#"), std::string_view::npos);
    }
  }
  for (char32_t c = U'A'; c <= U'Z'; ++c) EXPECT_NE(mg::findGlyph(c), nullptr);
  for (std::u32string_view text : {U"LEVEL", U"FINAL", U"Re", U"Birth", U"QS", U"FOR", U"EVER"})
    EXPECT_LE(mg::textWidth(text), 30);
  EXPECT_THROW(mg::textWidth(U"x"), std::invalid_argument);

  const mg::Bitmap& kanji = mg::samuraiKanji();
  EXPECT_LE(kanji.height(), 16);
  for (std::string_view row : kanji.rows) EXPECT_EQ(static_cast<int>(row.size()), kanji.width());
}

TEST(Media, GenerationIsDeterministicAndWritesEveryFile) {
  const std::vector<mg::MediaFile> first = mg::generateMedia();
  const std::vector<mg::MediaFile> second = mg::generateMedia();
  ASSERT_EQ(first.size(), 30u);
  ASSERT_EQ(first.size(), second.size());
  std::set<std::string> names;
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].name, second[i].name);
    EXPECT_TRUE(first[i].bytes == second[i].bytes) << first[i].name << " differs between runs";
    EXPECT_FALSE(first[i].description.empty());
    names.insert(first[i].name);
  }
  EXPECT_EQ(names.size(), first.size()) << "duplicate file names";

  const qs::test::TempDir tmp;
  const std::filesystem::path dir = tmp.path();
  mg::writeMedia(first, dir);
  for (const auto& f : first) EXPECT_TRUE(qs::test::readBytes(tmp.path() + "/" + f.name) == f.bytes) << f.name;
  EXPECT_THROW(mg::writeMedia(first, dir / "missing"), std::runtime_error);
}

// The desktop icons, read back as a strict PNG reader would: a clear corner
// round an opaque face.
TEST(Icons, EverySizeIsAValidRgbaPngOfTheFace) {
  const qs::test::TempDir tmp;
  mg::writeIcons(tmp.path(), "test.Id");
  for (int size : mg::kIconSizes) {
    const std::string side = std::to_string(size);
    SCOPED_TRACE(side);
    std::string error;
    const auto png = qs::test::readPng(tmp.path() + "/hicolor/" + side + "x" + side + "/apps/test.Id.png", error);
    ASSERT_TRUE(png) << error;
    EXPECT_EQ(png->width, size);
    EXPECT_EQ(png->height, size);
    ASSERT_EQ(png->channels, 4);
    EXPECT_EQ(png->at(0, 0)[3], 0) << "corner";
    EXPECT_EQ(png->at(size / 2, size * 3 / 10)[3], 255) << "the face";
  }
}
