#include "effects.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <utility>

namespace qs::mediagen {
namespace {

// Common finishing: no DC, click-free ends, consistent loudness.
Buffer finish(Buffer buffer, double fadeIn = 0.003, double fadeOut = 0.015) {
  removeDc(buffer);
  fadeEdges(buffer, fadeIn, fadeOut);
  normalizePeak(buffer, kEffectPeakDbfs);
  return buffer;
}

// A note of a short melodic phrase: start time, MIDI key, length.
struct PhraseNote {
  double at;
  double key;
  double seconds;
};

// Renders a phrase with a pulse lead doubled by a softer triangle, the
// usual chip-style voice for the jingles.
Buffer chipPhrase(std::initializer_list<PhraseNote> notes, double duty, float triangleMix,
                  const Envelope& env) {
  Buffer out;
  for (const PhraseNote& n : notes) {
    Tone lead{.wave = Wave::Square,
              .duty = duty,
              .startHz = midiToHz(n.key),
              .seconds = n.seconds,
              .env = env,
              .gain = 0.6f};
    Tone body = lead;
    body.wave = Wave::Triangle;
    body.gain = triangleMix;
    mixInto(out, renderTone(lead), n.at);
    mixInto(out, renderTone(body), n.at);
  }
  return out;
}

// Sustained chord tones (triangle) under a phrase ending.
void addChord(Buffer& out, double at, double seconds, std::initializer_list<double> keys, float gain,
              double vibratoSemitones = 0.0) {
  for (double key : keys) {
    Tone t{.wave = Wave::Triangle,
           .startHz = midiToHz(key),
           .seconds = seconds,
           .env = {.attack = 0.01, .decay = seconds * 0.6, .sustain = 0.5, .release = seconds * 0.4},
           .vibratoHz = 5.5,
           .vibratoSemitones = vibratoSemitones,
           .gain = gain};
    mixInto(out, renderTone(t), at);
  }
}

// Noise burst through a band-pass filter, for strike transients.
Buffer noiseClick(double seconds, double hz, double q, double decay, std::uint64_t seed) {
  Rng rng(seed);
  seconds = std::max(seconds, decay * 10.0);  // let the burst die away on its own
  Buffer out = whiteNoise(seconds, rng);
  Biquad bp(Biquad::Kind::Bandpass, hz, q);
  const Envelope env{.attack = 0.0005, .decay = decay, .sustain = 0.0, .release = 0.002};
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    out[i] = bp.process(out[i]) * static_cast<float>(envelopeAt(env, t, seconds));
  }
  return out;
}

// Sum of decaying sine partials: bells, clangs and chimes.
struct Partial {
  double hz;
  float amp;
  double decay;
};

Buffer partials(std::initializer_list<Partial> list, double seconds) {
  Buffer out(samplesFor(seconds));
  for (const Partial& p : list) {
    Tone t{.wave = Wave::Sine,
           .startHz = p.hz,
           .seconds = seconds,
           .env = {.attack = 0.001, .decay = p.decay, .sustain = 0.0, .release = 0.02},
           .gain = p.amp};
    mixInto(out, renderTone(t), 0.0);
  }
  return out;
}

Buffer choice() {
  const Envelope env{.attack = 0.002, .decay = 0.03, .sustain = 0.5, .release = 0.01};
  Buffer out;
  mixInto(
      out,
      renderTone({.wave = Wave::Square, .duty = 0.25, .startHz = midiToHz(83), .seconds = 0.045, .env = env}),
      0.0);
  mixInto(
      out,
      renderTone({.wave = Wave::Square, .duty = 0.25, .startHz = midiToHz(88), .seconds = 0.065, .env = env}),
      0.045);
  return finish(std::move(out), 0.002, 0.01);
}

Buffer endPhrase() {
  const Envelope env{.attack = 0.004, .decay = 0.08, .sustain = 0.6, .release = 0.03};
  Buffer out =
      chipPhrase({{0.00, 79, 0.12}, {0.12, 77, 0.12}, {0.24, 74, 0.12}, {0.36, 71, 0.12}, {0.48, 72, 0.55}},
                 0.25, 0.5f, env);
  addChord(out, 0.48, 0.55, {64, 67}, 0.3f);
  addChord(out, 0.48, 0.55, {48}, 0.45f);
  return finish(std::move(out));
}

Buffer startJingle() {
  const Envelope env{.attack = 0.003, .decay = 0.06, .sustain = 0.7, .release = 0.02};
  Buffer out = chipPhrase({{0.00, 67, 0.09},
                           {0.09, 72, 0.09},
                           {0.18, 76, 0.09},
                           {0.27, 79, 0.18},
                           {0.45, 76, 0.09},
                           {0.54, 84, 0.6}},
                          0.5, 0.4f, env);
  addChord(out, 0.54, 0.6, {72, 76, 79}, 0.2f);
  addChord(out, 0.54, 0.6, {48}, 0.5f);
  return finish(std::move(out));
}

// The big bomb: a low boom, a noise blast closing down and a rising whoosh.
Buffer highBlast() {
  constexpr double kLength = 0.85;
  Buffer out(samplesFor(kLength));

  Rng rng(0x51A57);
  Biquad blastLp(Biquad::Kind::Lowpass, 8000.0, 0.9);
  Biquad whooshBp(Biquad::Kind::Bandpass, 300.0, 2.0);
  const Envelope blastEnv{.attack = 0.004, .decay = 0.22, .sustain = 0.0, .release = 0.1};
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double u = t / kLength;
    blastLp.tune(8000.0 * std::pow(150.0 / 8000.0, u), 0.9);
    const float blast = blastLp.process(rng.bipolar()) * static_cast<float>(envelopeAt(blastEnv, t, kLength));
    whooshBp.tune(300.0 * std::pow(3000.0 / 300.0, u), 2.0);
    const float whoosh = whooshBp.process(rng.bipolar()) * static_cast<float>(std::sin(kPi * u));
    out[i] = blast + 0.8f * whoosh;
  }
  mixInto(out,
          renderTone({.wave = Wave::Sine,
                      .startHz = 110.0,
                      .endHz = 35.0,
                      .seconds = 0.7,
                      .env = {.attack = 0.002, .decay = 0.2, .sustain = 0.0, .release = 0.1},
                      .gain = 0.9f}),
          0.0);
  return finish(std::move(out), 0.002, 0.05);
}

// Laser shot: fast falling pulse with a detuned saw for bite.
Buffer hitLaser() {
  const Envelope env{.attack = 0.001, .decay = 0.06, .sustain = 0.1, .release = 0.02};
  Buffer out = renderTone(
      {.wave = Wave::Square, .startHz = 2400.0, .endHz = 220.0, .seconds = 0.16, .env = env, .gain = 0.7f});
  mixInto(
      out,
      renderTone(
          {.wave = Wave::Saw, .startHz = 2440.0, .endHz = 226.0, .seconds = 0.16, .env = env, .gain = 0.4f}),
      0.0);
  mixInto(out, noiseClick(0.02, 5000.0, 0.8, 0.004, 0x4177), 0.0, 0.6f);
  return finish(std::move(out), 0.001, 0.01);
}

// Falling, wobbling tone.
Buffer missFall() {
  const Envelope env{.attack = 0.005, .decay = 0.0, .sustain = 1.0, .release = 0.15};
  Buffer out = renderTone({.wave = Wave::Triangle,
                           .startHz = 660.0,
                           .endHz = 110.0,
                           .seconds = 0.7,
                           .env = env,
                           .vibratoHz = 7.0,
                           .vibratoSemitones = 0.4});
  mixInto(out,
          renderTone({.wave = Wave::Square,
                      .startHz = 660.0,
                      .endHz = 110.0,
                      .seconds = 0.7,
                      .env = env,
                      .vibratoHz = 7.0,
                      .vibratoSemitones = 0.4,
                      .gain = 0.25f}),
          0.0);
  return finish(std::move(out));
}

// Slow minor descent settling on a low A minor chord.
Buffer gameoverPhrase() {
  const Envelope env{.attack = 0.01, .decay = 0.2, .sustain = 0.7, .release = 0.05};
  Buffer out = chipPhrase({{0.0, 76, 0.3}, {0.3, 74, 0.3}, {0.6, 72, 0.3}, {0.9, 71, 0.3}}, 0.5, 0.6f, env);
  Tone last{.wave = Wave::Square,
            .duty = 0.5,
            .startHz = midiToHz(69),
            .seconds = 1.3,
            .env = {.attack = 0.01, .decay = 0.5, .sustain = 0.4, .release = 0.5},
            .vibratoHz = 5.0,
            .vibratoSemitones = 0.3,
            .gain = 0.6f};
  mixInto(out, renderTone(last), 1.2);
  addChord(out, 1.2, 1.3, {57, 60, 64}, 0.3f, 0.1);
  addChord(out, 1.2, 1.3, {45}, 0.5f);
  return finish(std::move(out), 0.003, 0.05);
}

// Brassy voice: saw through a low-pass that opens with the note.
Buffer brassNote(double key, double seconds, float gain) {
  Buffer out(samplesFor(seconds));
  Oscillator a(Wave::Saw);
  Oscillator b(Wave::Saw);
  Biquad lp(Biquad::Kind::Lowpass, 800.0, 0.8);
  const Envelope env{.attack = 0.02, .decay = 0.25, .sustain = 0.75, .release = 0.06};
  const double hz = midiToHz(key);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double level = envelopeAt(env, t, seconds);
    const double vibrato =
        std::pow(2.0, 0.12 / 12.0 * std::sin(2.0 * kPi * 5.5 * t) * std::min(1.0, t / 0.3));
    lp.tune(600.0 + 3400.0 * level, 0.8);
    const float raw = 0.5f * (a.next(hz * vibrato) + b.next(hz * vibrato * 1.004));
    out[i] = lp.process(raw) * gain * static_cast<float>(level);
  }
  return out;
}

// Stage clear: rising call, answer, held major chord with a cymbal swell.
Buffer clearFanfare() {
  Buffer out;
  const PhraseNote call[] = {{0.00, 67, 0.12}, {0.14, 72, 0.12}, {0.28, 76, 0.12},
                             {0.42, 79, 0.34}, {0.80, 76, 0.14}, {0.96, 79, 0.14}};
  for (const PhraseNote& n : call) mixInto(out, brassNote(n.key, n.seconds, 0.8f), n.at);
  for (double key : {84.0, 79.0, 76.0, 72.0}) mixInto(out, brassNote(key, 1.2, 0.45f), 1.12);
  mixInto(out, brassNote(48, 1.2, 0.6f), 1.12);

  Rng rng(0xC1EA2);
  Buffer cymbal = whiteNoise(1.2, rng);
  Biquad hp(Biquad::Kind::Highpass, 6000.0, 0.7);
  const Envelope env{.attack = 0.005, .decay = 0.35, .sustain = 0.0, .release = 0.3};
  for (std::size_t i = 0; i < cymbal.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    cymbal[i] = hp.process(cymbal[i]) * static_cast<float>(envelopeAt(env, t, 1.2));
  }
  mixInto(out, cymbal, 1.12, 0.25f);
  return finish(std::move(out), 0.003, 0.08);
}

// Power-up: a quick climb over three octaves of C major.
Buffer powArpeggio() {
  Buffer out;
  const double keys[] = {72, 76, 79, 84, 88, 91, 96};
  const Envelope env{.attack = 0.002, .decay = 0.05, .sustain = 0.5, .release = 0.02};
  for (std::size_t i = 0; i < std::size(keys); ++i) {
    const bool last = i + 1 == std::size(keys);
    const double seconds = last ? 0.26 : 0.09;
    Envelope e = env;
    if (last) e.release = 0.15;
    const double at = 0.06 * static_cast<double>(i);
    mixInto(out,
            renderTone({.wave = Wave::Square,
                        .duty = 0.25,
                        .startHz = midiToHz(keys[i]),
                        .seconds = seconds,
                        .env = e,
                        .gain = 0.6f}),
            at);
    mixInto(out,
            renderTone({.wave = Wave::Triangle,
                        .startHz = midiToHz(keys[i] - 12),
                        .seconds = seconds,
                        .env = e,
                        .gain = 0.5f}),
            at);
  }
  return finish(std::move(out));
}

// Warning siren: pitch swings between A4 and E5 under a tremolo.
Buffer appearSiren() {
  constexpr double kLength = 1.3;
  Buffer out(samplesFor(kLength));
  Oscillator saw(Wave::Saw);
  Oscillator low(Wave::Square);
  Biquad lp(Biquad::Kind::Lowpass, 3000.0, 0.7);
  const Envelope env{.attack = 0.05, .decay = 0.0, .sustain = 1.0, .release = 0.15};
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double swing = 0.5 - 0.5 * std::cos(2.0 * kPi * 2.5 * t);
    const double hz = midiToHz(69.0 + 7.0 * swing);
    const double tremolo = 0.8 + 0.2 * std::sin(2.0 * kPi * 12.0 * t);
    const float v = lp.process(0.6f * saw.next(hz) + 0.4f * low.next(hz * 0.5));
    out[i] = v * static_cast<float>(tremolo * envelopeAt(env, t, kLength));
  }
  return finish(std::move(out), 0.01, 0.05);
}

// A low bell toll: inharmonic partials with the minor-third hum of a bell.
Buffer deathKnell() {
  constexpr double f = 146.83;  // D3
  Buffer out = partials({{f * 0.5, 0.5f, 0.9},
                         {f, 1.0f, 0.7},
                         {f * 1.19, 0.55f, 0.55},
                         {f * 1.5, 0.35f, 0.45},
                         {f * 2.0, 0.45f, 0.35},
                         {f * 2.74, 0.25f, 0.22},
                         {f * 3.76, 0.18f, 0.14},
                         {f * 5.4, 0.12f, 0.09},
                         {f * 6.8, 0.1f, 0.06},
                         {f * 8.9, 0.08f, 0.04}},
                        1.4);
  mixInto(out, noiseClick(0.03, 1800.0, 1.2, 0.008, 0xDEA7), 0.0, 0.5f);
  return finish(std::move(out), 0.002, 0.2);
}

// Blade meeting a hard block: bright metallic ring and a dull knock.
Buffer katanaClang() {
  Buffer out = partials({{1480.0, 1.0f, 0.11},
                         {2213.0, 0.7f, 0.09},
                         {3469.0, 0.5f, 0.07},
                         {4831.0, 0.35f, 0.05},
                         {6122.0, 0.25f, 0.035}},
                        0.35);
  mixInto(out, noiseClick(0.03, 4000.0, 1.0, 0.006, 0x4A7A), 0.0, 0.9f);
  mixInto(out,
          renderTone({.wave = Wave::Sine,
                      .startHz = 220.0,
                      .endHz = 150.0,
                      .seconds = 0.08,
                      .env = {.attack = 0.001, .decay = 0.02, .sustain = 0.0, .release = 0.01},
                      .gain = 0.6f}),
          0.0);
  return finish(std::move(out), 0.001, 0.05);
}

// Sword cut: an air swish sweeping down with a thin slicing edge.
Buffer zackCut() {
  constexpr double kLength = 0.24;
  Rng rng(0x2ACC);
  Buffer out(samplesFor(kLength));
  Biquad bp(Biquad::Kind::Bandpass, 5000.0, 1.5);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double u = t / kLength;
    bp.tune(5000.0 * std::pow(1200.0 / 5000.0, u), 1.5);
    const double swell = u < 0.35 ? u / 0.35 : std::pow((1.0 - u) / 0.65, 1.5);
    out[i] = bp.process(rng.bipolar()) * static_cast<float>(swell);
  }
  mixInto(out,
          renderTone({.wave = Wave::Saw,
                      .startHz = 3000.0,
                      .endHz = 900.0,
                      .seconds = 0.12,
                      .env = {.attack = 0.03, .decay = 0.03, .sustain = 0.0, .release = 0.02},
                      .gain = 0.12f}),
          0.02);
  return finish(std::move(out), 0.002, 0.02);
}

// Bumping into a wall: low thump with a short knock on top.
Buffer wallKnock() {
  Buffer out = renderTone({.wave = Wave::Sine,
                           .startHz = 170.0,
                           .endHz = 80.0,
                           .seconds = 0.15,
                           .env = {.attack = 0.001, .decay = 0.04, .sustain = 0.0, .release = 0.02}});
  mixInto(out,
          renderTone({.wave = Wave::Triangle,
                      .startHz = 330.0,
                      .endHz = 200.0,
                      .seconds = 0.06,
                      .env = {.attack = 0.001, .decay = 0.015, .sustain = 0.0, .release = 0.01},
                      .gain = 0.5f}),
          0.0);
  Buffer knock = noiseClick(0.04, 1200.0, 0.7, 0.008, 0x3A11);
  mixInto(out, knock, 0.0, 0.7f);
  return finish(std::move(out), 0.001, 0.02);
}

// Pick-up: two bright chime notes a fourth apart.
Buffer takeChime() {
  Buffer out;
  for (const auto& [at, key] : {std::pair{0.0, 83.0}, std::pair{0.07, 88.0}}) {
    const double f = midiToHz(key);
    mixInto(out, partials({{f, 1.0f, 0.09}, {f * 2.0, 0.35f, 0.05}, {f * 2.76, 0.2f, 0.03}}, 0.23), at);
  }
  return finish(std::move(out), 0.001, 0.03);
}

// Slowly wandering random level: random knots every `spacing` seconds,
// joined with cosine interpolation so the modulation itself has no edges.
class Flutter {
 public:
  Flutter(Rng& rng, double spacing) : rng_(rng), spacing_(spacing), from_(knot()), to_(knot()) {}
  double next() {
    const double u = elapsed_ / spacing_;
    const double value = from_ + (to_ - from_) * (0.5 - 0.5 * std::cos(kPi * u));
    elapsed_ += 1.0 / kSampleRate;
    if (elapsed_ >= spacing_) {
      elapsed_ -= spacing_;
      from_ = to_;
      to_ = knot();
    }
    return value;
  }

 private:
  double knot() { return 0.65 + 0.55 * rng_.bipolar(); }
  Rng& rng_;
  double spacing_;
  double elapsed_ = 0.0;
  double from_;
  double to_;
};

// Thunder: low-passed brown noise whose level wanders randomly, with
// bursts ("rolls") at given times and an optional bright crack up front.
struct Roll {
  double at;
  float level;
  double decay;
};

Buffer thunder(double seconds, std::uint64_t seed, double cutoffHz, double flutterSpacing,
               std::initializer_list<Roll> rolls, float crack) {
  Rng rng(seed);
  Buffer out(samplesFor(seconds));
  Biquad lp1(Biquad::Kind::Lowpass, cutoffHz, 0.7);
  Biquad lp2(Biquad::Kind::Lowpass, cutoffHz * 1.5, 0.6);
  Flutter flutter(rng, flutterSpacing);
  double brown = 0.0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    brown = 0.99 * brown + 0.1 * rng.bipolar();
    double level = 0.0;
    for (const Roll& r : rolls) {
      if (t < r.at) continue;
      const double since = t - r.at;
      level += r.level * std::min(1.0, since / 0.04) * std::exp(-since / r.decay);
    }
    out[i] = lp2.process(lp1.process(static_cast<float>(brown))) * static_cast<float>(level * flutter.next());
  }
  if (crack > 0.0f) {
    constexpr double kSnapLength = 0.7;
    Buffer snap = whiteNoise(kSnapLength, rng);
    Biquad hp(Biquad::Kind::Highpass, 1200.0, 0.7);
    const Envelope env{.attack = 0.002, .decay = 0.07, .sustain = 0.0, .release = 0.3};
    for (std::size_t i = 0; i < snap.size(); ++i) {
      const double t = static_cast<double>(i) / kSampleRate;
      snap[i] = hp.process(snap[i]) * static_cast<float>(envelopeAt(env, t, kSnapLength));
    }
    normalizePeak(snap, 0.0);
    normalizePeak(out, 0.0);
    mixInto(out, snap, 0.0, crack);
  }
  return finish(std::move(out), 0.005, 0.3);
}

}  // namespace

std::vector<SoundEffect> makeSoundEffects() {
  std::vector<SoundEffect> list;
  list.push_back({"choice.wav", "menu cursor blip", choice()});
  list.push_back({"end.wav", "short closing phrase falling onto C", endPhrase()});
  list.push_back({"start.wav", "rising start jingle ending on a C major chord", startJingle()});
  list.push_back({"high.wav", "bomb blast: low boom, closing noise burst and whoosh", highBlast()});
  list.push_back({"hit.wav", "laser hit: fast falling pulse", hitLaser()});
  list.push_back({"miss.wav", "wobbling falling tone", missFall()});
  list.push_back({"gameover.wav", "slow minor descent onto a low A minor chord", gameoverPhrase()});
  list.push_back({"clear.wav", "brass fanfare with a held C major chord and cymbal", clearFanfare()});
  list.push_back({"pow.wav", "power-up arpeggio over three octaves", powArpeggio()});
  list.push_back({"appear.wav", "boss warning siren with tremolo", appearSiren()});
  list.push_back({"death.wav", "low bell toll", deathKnell()});
  list.push_back({"katana.wav", "sword striking a block: metallic clang", katanaClang()});
  list.push_back({"zack.wav", "sword cut: downward air swish", zackCut()});
  list.push_back({"wall.wav", "dull knock against a wall", wallKnock()});
  list.push_back({"take.wav", "two-note pick-up chime", takeChime()});
  list.push_back({"thndr1.wav", "close thunder: sharp crack then a long rumble",
                  thunder(2.2, 0x7D1, 600.0, 0.07, {{0.0, 1.0f, 0.35}, {0.45, 0.8f, 0.6}}, 0.7f)});
  list.push_back(
      {"thndr2.wav", "distant rolling thunder",
       thunder(1.8, 0x7D2, 350.0, 0.12, {{0.0, 0.5f, 0.25}, {0.35, 0.9f, 0.35}, {0.8, 0.7f, 0.5}}, 0.0f)});
  return list;
}

}  // namespace qs::mediagen
