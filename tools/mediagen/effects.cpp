#include "effects.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>

#include "loudness.h"

namespace qs::mediagen {
namespace {

// Common finishing: no DC, click-free ends, a working level (the final
// level is set by loudness once the sound is made).
Buffer finish(Buffer buffer, double fadeIn = 0.003, double fadeOut = 0.015) {
  removeDc(buffer);
  fadeEdges(buffer, fadeIn, fadeOut);
  normalizePeak(buffer, -6.0);
  return buffer;
}

// Scales the effect so it plays `lift` LU above the music; throws if that
// would take it over the ceiling, as the recipe then needs reworking.
void setLevel(Buffer& buffer, double lift, const std::string& name) {
  const double gain = std::pow(10.0, (kMusicLufs + lift - playedMomentaryLufs(buffer, kSampleRate)) / 20.0);
  for (float& s : buffer) s *= static_cast<float>(gain);
  const double peakDb = 20.0 * std::log10(truePeak(buffer));
  if (peakDb > kEffectCeilingDbfs)
    throw std::logic_error(name + " would peak at " + std::to_string(peakDb) + " dBFS at its loudness");
}

// Scales a layer to the given RMS so layers mix by their energy.
Buffer atRms(Buffer layer, double rms) {
  const double now = rmsOf(layer);
  if (now > 0.0)
    for (float& s : layer) s *= static_cast<float>(rms / now);
  return layer;
}

// A note of a short melodic phrase: start time, MIDI key, length.
struct PhraseNote {
  double at;
  double key;
  double seconds;
};

// Renders a phrase with a pulse lead doubled by a softer triangle, the
// usual chip-style voice for the jingles.
Buffer chipPhrase(std::initializer_list<PhraseNote> notes, double duty, float triangleMix, const Envelope& env) {
  Buffer out;
  for (const PhraseNote& n : notes) {
    Tone lead{
        .wave = Wave::Square, .duty = duty, .startHz = midiToHz(n.key), .seconds = n.seconds, .env = env, .gain = 0.6f};
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

// Crackle: random pops (single clicks ringing in a band-pass) arriving at
// `perSecond` times density[i] per second, louder where density is higher.
Buffer crackle(const Buffer& density, double perSecond, double hz, double q, std::uint64_t seed) {
  Rng rng(seed);
  Buffer out(density.size());
  Biquad ring(Biquad::Kind::Bandpass, hz, q);
  const double chance = perSecond / kSampleRate;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double roll = 0.5 + 0.5 * rng.bipolar();
    const float sign = rng.bipolar() < 0.0f ? -1.0f : 1.0f;
    const float strength = 0.3f + 0.7f * (0.5f + 0.5f * rng.bipolar());
    const float pop = roll < chance * density[i] ? sign * strength * density[i] : 0.0f;
    out[i] = ring.process(pop);
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
  mixInto(out, renderTone({.wave = Wave::Square, .duty = 0.25, .startHz = midiToHz(83), .seconds = 0.045, .env = env}),
          0.0);
  mixInto(out, renderTone({.wave = Wave::Square, .duty = 0.25, .startHz = midiToHz(88), .seconds = 0.065, .env = env}),
          0.045);
  return finish(std::move(out), 0.002, 0.01);
}

Buffer endPhrase() {
  const Envelope env{.attack = 0.004, .decay = 0.08, .sustain = 0.6, .release = 0.03};
  Buffer out = chipPhrase({{0.00, 79, 0.12}, {0.12, 77, 0.12}, {0.24, 74, 0.12}, {0.36, 71, 0.12}, {0.48, 72, 0.55}},
                          0.25, 0.5f, env);
  addChord(out, 0.48, 0.55, {64, 67}, 0.3f);
  addChord(out, 0.48, 0.55, {48}, 0.45f);
  return finish(std::move(out));
}

Buffer startJingle() {
  const Envelope env{.attack = 0.003, .decay = 0.06, .sustain = 0.7, .release = 0.02};
  Buffer out = chipPhrase(
      {{0.00, 67, 0.09}, {0.09, 72, 0.09}, {0.18, 76, 0.09}, {0.27, 79, 0.18}, {0.45, 76, 0.09}, {0.54, 84, 0.6}}, 0.5,
      0.4f, env);
  addChord(out, 0.54, 0.6, {72, 76, 79}, 0.2f);
  addChord(out, 0.54, 0.6, {48}, 0.5f);
  return finish(std::move(out));
}

// The big bomb: a low boom saturated until its overtones carry it on small
// speakers, a noise blast closing down through the mid range, flying
// debris crackling and a rising whoosh.
Buffer highBlast() {
  constexpr double kLength = 0.85;
  const std::size_t n = samplesFor(kLength);
  Rng rng(0x51A57);

  Buffer boom = renderTone({.wave = Wave::Sine,
                            .startHz = 100.0,
                            .endHz = 38.0,
                            .seconds = 0.75,
                            .env = {.attack = 0.002, .decay = 0.22, .sustain = 0.0, .release = 0.1}});
  softClip(boom, 4.0);

  Buffer blast(n);
  Buffer body(n);
  Buffer whoosh(n);
  Buffer density(n);
  Biquad blastLp(Biquad::Kind::Lowpass, 6000.0, 0.9);
  Biquad bodyBp(Biquad::Kind::Bandpass, 1400.0, 0.9);
  Biquad whooshBp(Biquad::Kind::Bandpass, 300.0, 2.0);
  const Envelope blastEnv{.attack = 0.004, .decay = 0.2, .sustain = 0.0, .release = 0.1};
  const Envelope bodyEnv{.attack = 0.006, .decay = 0.3, .sustain = 0.0, .release = 0.15};
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double u = t / kLength;
    blastLp.tune(6000.0 * std::pow(150.0 / 6000.0, u), 0.9);
    blast[i] = blastLp.process(rng.bipolar()) * static_cast<float>(envelopeAt(blastEnv, t, kLength));
    bodyBp.tune(1400.0 * std::pow(220.0 / 1400.0, u), 0.9);
    body[i] = bodyBp.process(rng.bipolar()) * static_cast<float>(envelopeAt(bodyEnv, t, kLength));
    whooshBp.tune(300.0 * std::pow(3000.0 / 300.0, u), 2.0);
    whoosh[i] = whooshBp.process(rng.bipolar()) * static_cast<float>(std::sin(kPi * u));
    density[i] = static_cast<float>(t < 0.04 ? 0.0 : std::exp(-(t - 0.04) / 0.25));
  }

  Buffer out = atRms(std::move(boom), 0.8);
  mixInto(out, atRms(std::move(body), 1.0), 0.0);
  mixInto(out, atRms(std::move(blast), 0.6), 0.0);
  mixInto(out, atRms(crackle(density, 300.0, 1100.0, 1.5, rng.next()), 0.35), 0.0);
  mixInto(out, atRms(std::move(whoosh), 0.25), 0.0);
  softClip(out, 2.5);
  return finish(std::move(out), 0.002, 0.05);
}

// Laser shot: fast falling pulse with a detuned saw for bite.
Buffer hitLaser() {
  const Envelope env{.attack = 0.001, .decay = 0.06, .sustain = 0.1, .release = 0.02};
  Buffer out =
      renderTone({.wave = Wave::Square, .startHz = 2400.0, .endHz = 220.0, .seconds = 0.16, .env = env, .gain = 0.7f});
  mixInto(out,
          renderTone({.wave = Wave::Saw, .startHz = 2440.0, .endHz = 226.0, .seconds = 0.16, .env = env, .gain = 0.4f}),
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
    const double vibrato = std::pow(2.0, 0.12 / 12.0 * std::sin(2.0 * kPi * 5.5 * t) * std::min(1.0, t / 0.3));
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
  // The chord's voices come in a few milliseconds apart, as players do, so
  // their waves do not all start in step.
  mixInto(out, brassNote(48, 1.2, 0.6f), 1.12);
  double delay = 0.0;
  for (double key : {72.0, 76.0, 79.0, 84.0}) {
    delay += 0.015;
    mixInto(out, brassNote(key, 1.2 - delay, 0.45f), 1.12 + delay);
  }

  Rng rng(0xC1EA2);
  Buffer cymbal = whiteNoise(1.2, rng);
  Biquad hp(Biquad::Kind::Highpass, 6000.0, 0.7);
  const Envelope env{.attack = 0.005, .decay = 0.35, .sustain = 0.0, .release = 0.3};
  for (std::size_t i = 0; i < cymbal.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    cymbal[i] = hp.process(cymbal[i]) * static_cast<float>(envelopeAt(env, t, 1.2));
  }
  mixInto(out, cymbal, 1.12, 0.2f);
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
    mixInto(
        out,
        renderTone(
            {.wave = Wave::Triangle, .startHz = midiToHz(keys[i] - 12), .seconds = seconds, .env = e, .gain = 0.5f}),
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
  Buffer out = partials(
      {{1480.0, 1.0f, 0.22}, {2213.0, 0.7f, 0.16}, {3469.0, 0.5f, 0.11}, {4831.0, 0.35f, 0.07}, {6122.0, 0.25f, 0.045}},
      0.45);
  mixInto(out, noiseClick(0.03, 4000.0, 1.0, 0.006, 0x4A7A), 0.0, 0.6f);
  mixInto(out,
          renderTone({.wave = Wave::Sine,
                      .startHz = 220.0,
                      .endHz = 150.0,
                      .seconds = 0.08,
                      .env = {.attack = 0.001, .decay = 0.02, .sustain = 0.0, .release = 0.01},
                      .gain = 0.6f}),
          0.0);
  return finish(std::move(out), 0.001, 0.08);
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

// Bumping into a wall: a driven low thump with a hollow knock on top.
Buffer wallKnock() {
  constexpr double kLength = 0.2;
  Buffer out = renderTone({.wave = Wave::Sine,
                           .startHz = 170.0,
                           .endHz = 90.0,
                           .seconds = kLength,
                           .env = {.attack = 0.001, .decay = 0.05, .sustain = 0.0, .release = 0.03}});
  mixInto(out,
          renderTone({.wave = Wave::Triangle,
                      .startHz = 330.0,
                      .endHz = 200.0,
                      .seconds = 0.1,
                      .env = {.attack = 0.001, .decay = 0.03, .sustain = 0.0, .release = 0.02},
                      .gain = 0.6f}),
          0.0);
  mixInto(out, noiseClick(0.06, 600.0, 1.5, 0.02, 0x3A12), 0.0, 1.4f);
  mixInto(out, noiseClick(0.04, 1200.0, 0.7, 0.008, 0x3A11), 0.0, 0.7f);
  // Driven hard, the thump grows overtones a small speaker can play.
  softClip(out, 3.0);
  return finish(std::move(out), 0.001, 0.03);
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

// Thunder: a rumble of low-passed brown noise, a body of noise in three
// bands an octave apart from `bodyHz` (what a small speaker can play of
// it) and crackle, each wandering on its own and all swelling with the
// rolls; an optional bright crack up front. The sum is saturated so the
// rolls keep their weight against the peaks.
struct Roll {
  double at;
  float level;
  double decay;
};

struct ThunderShape {
  double seconds;
  std::uint64_t seed;
  double rumbleHz;
  double bodyHz;
  double flutterSpacing;
  std::vector<Roll> rolls;
  double cracklePerSecond;
  float crack;  // level of the crack against the peak of the rest
};

Buffer thunder(const ThunderShape& shape) {
  Rng rng(shape.seed);
  const std::size_t n = samplesFor(shape.seconds);
  Buffer level(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    double sum = 0.0;
    for (const Roll& r : shape.rolls) {
      if (t < r.at) continue;
      const double since = t - r.at;
      sum += r.level * std::min(1.0, since / 0.04) * std::exp(-since / r.decay);
    }
    level[i] = static_cast<float>(sum);
  }
  const float loudest = peakOf(level);
  Buffer density = level;
  for (float& d : density) d /= loudest;

  Buffer rumble(n);
  Biquad lp1(Biquad::Kind::Lowpass, shape.rumbleHz, 0.7);
  Biquad lp2(Biquad::Kind::Lowpass, shape.rumbleHz * 1.5, 0.6);
  Flutter rumbleFlutter(rng, shape.flutterSpacing);
  double brown = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    brown = 0.99 * brown + 0.1 * rng.bipolar();
    rumble[i] =
        lp2.process(lp1.process(static_cast<float>(brown))) * static_cast<float>(level[i] * rumbleFlutter.next());
  }

  Buffer body(n);
  const double bandGain[] = {1.0, 0.7, 0.45};
  for (int band = 0; band < 3; ++band) {
    Biquad bp(Biquad::Kind::Bandpass, shape.bodyHz * std::pow(2.0, band), 1.2);
    Flutter flutter(rng, shape.flutterSpacing * (1.0 - 0.25 * band));
    for (std::size_t i = 0; i < n; ++i)
      body[i] += bp.process(rng.bipolar()) * static_cast<float>(bandGain[band] * level[i] * flutter.next());
  }

  Buffer out = atRms(std::move(rumble), 0.9);
  mixInto(out, atRms(std::move(body), 1.0), 0.0);
  mixInto(out, atRms(crackle(density, shape.cracklePerSecond, shape.bodyHz * 5.0, 2.0, rng.next()), 0.35), 0.0);
  if (shape.crack > 0.0f) {
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
    mixInto(out, snap, 0.0, shape.crack);
  }
  softClip(out, 4.0);
  return finish(std::move(out), 0.005, 0.3);
}

}  // namespace

std::vector<SoundEffect> makeSoundEffects() {
  struct Recipe {
    const char* name;
    const char* description;
    double lift;  // LU above the music
    Buffer (*make)();
  };
  // Cues heard every few seconds (the menu blip, hits, cuts, knocks) sit
  // just above the music; the phrases that open and close a scene a little
  // higher; the bomb, the fanfares and the thunders highest.
  const Recipe recipes[] = {
      {"choice.wav", "menu cursor blip", 3.0, choice},
      {"end.wav", "short closing phrase falling onto C", 4.5, endPhrase},
      {"start.wav", "rising start jingle ending on a C major chord", 6.0, startJingle},
      {"high.wav", "bomb blast: driven boom, mid-range roar, crackling debris and whoosh", 7.0, highBlast},
      {"hit.wav", "laser hit: fast falling pulse", 3.0, hitLaser},
      {"miss.wav", "wobbling falling tone", 4.5, missFall},
      {"gameover.wav", "slow minor descent onto a low A minor chord", 4.5, gameoverPhrase},
      {"clear.wav", "brass fanfare with a held C major chord and cymbal", 6.0, clearFanfare},
      {"pow.wav", "power-up arpeggio over three octaves", 4.5, powArpeggio},
      {"appear.wav", "boss warning siren with tremolo", 5.5, appearSiren},
      {"death.wav", "low bell toll", 5.0, deathKnell},
      {"katana.wav", "sword striking a block: metallic clang", 3.0, katanaClang},
      {"zack.wav", "sword cut: downward air swish", 3.0, zackCut},
      {"wall.wav", "dull knock against a wall", 3.0, wallKnock},
      {"take.wav", "two-note pick-up chime", 3.0, takeChime},
      {"thndr1.wav", "close thunder: sharp crack then a long crackling rumble", 7.0,
       [] {
         return thunder({.seconds = 2.2,
                         .seed = 0x7D1,
                         .rumbleHz = 600.0,
                         .bodyHz = 220.0,
                         .flutterSpacing = 0.07,
                         .rolls = {{0.0, 1.0f, 0.35}, {0.45, 0.8f, 0.6}},
                         .cracklePerSecond = 60.0,
                         .crack = 0.7f});
       }},
      {"thndr2.wav", "distant rolling thunder", 5.5,
       [] {
         return thunder({.seconds = 1.8,
                         .seed = 0x7D2,
                         .rumbleHz = 350.0,
                         .bodyHz = 170.0,
                         .flutterSpacing = 0.12,
                         .rolls = {{0.0, 0.5f, 0.3}, {0.3, 0.9f, 0.4}, {0.7, 0.8f, 0.5}},
                         .cracklePerSecond = 25.0,
                         .crack = 0.0f});
       }},
  };
  std::vector<SoundEffect> list;
  for (const Recipe& r : recipes) {
    Buffer samples = r.make();
    setLevel(samples, r.lift, r.name);
    list.push_back({r.name, r.description, std::move(samples)});
  }
  return list;
}

}  // namespace qs::mediagen
