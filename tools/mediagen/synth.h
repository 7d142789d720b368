// Small synthesis toolkit: oscillators, envelopes, noise, filters and the
// buffer operations the effect recipes are built from. All sample buffers
// are mono floats at kSampleRate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "wav_writer.h"

namespace qs::mediagen {

using Buffer = std::vector<float>;

inline constexpr double kPi = 3.14159265358979323846;

std::size_t samplesFor(double seconds);
double secondsOf(const Buffer& buffer);
double midiToHz(double note);

// Fixed-seed generator (splitmix64) so noise is identical on every run.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next();
  // Uniform in [-1, 1).
  float bipolar();

 private:
  std::uint64_t state_;
};

enum class Wave { Sine, Triangle, Square, Saw };

// Phase-accumulating oscillator. Square and saw are band-limited with
// polyBLEP corrections so high sweeps do not fold back as whistles.
class Oscillator {
 public:
  explicit Oscillator(Wave wave, double duty = 0.5) : wave_(wave), duty_(duty) {}
  float next(double hz);

 private:
  Wave wave_;
  double duty_;
  double phase_ = 0.0;
};

// Attack ramp, exponential fall towards a sustain level, linear release
// at the end of the note. decay <= 0 means no fall.
struct Envelope {
  double attack = 0.005;
  double decay = 0.0;  // time constant in seconds
  double sustain = 1.0;
  double release = 0.02;
};

double envelopeAt(const Envelope& env, double t, double length);

// One oscillator voice with an exponential pitch glide and optional vibrato.
struct Tone {
  Wave wave = Wave::Square;
  double duty = 0.5;
  double startHz = 440.0;
  double endHz = 0.0;  // 0 keeps the start pitch
  double seconds = 0.1;
  Envelope env;
  double vibratoHz = 0.0;
  double vibratoSemitones = 0.0;
  float gain = 1.0f;
};

Buffer renderTone(const Tone& tone);

// Biquad sections (RBJ cookbook). Coefficients may be changed between
// samples to sweep the cutoff; the state carries over.
class Biquad {
 public:
  enum class Kind { Lowpass, Highpass, Bandpass };
  Biquad(Kind kind, double hz, double q) : kind_(kind) { tune(hz, q); }
  void tune(double hz, double q);
  float process(float x);

 private:
  Kind kind_;
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double z1_ = 0, z2_ = 0;
};

class OnePoleLowpass {
 public:
  explicit OnePoleLowpass(double hz) { tune(hz); }
  void tune(double hz);
  float process(float x);

 private:
  double a_ = 0.0;
  double y_ = 0.0;
};

Buffer whiteNoise(double seconds, Rng& rng);

// Adds src into dst starting at the given time, growing dst as needed.
void mixInto(Buffer& dst, const Buffer& src, double atSeconds, float gain = 1.0f);
void removeDc(Buffer& buffer);
// Raised-cosine ramps at both ends so the sound starts and stops at zero.
void fadeEdges(Buffer& buffer, double fadeInSeconds, double fadeOutSeconds);
float peakOf(const Buffer& buffer);
double rmsOf(const Buffer& buffer);
void normalizePeak(Buffer& buffer, double peakDbfs);
// Gentle saturation: the buffer is scaled to a peak of 1 and bent through
// tanh(drive x) / tanh(drive), which keeps the peak and lifts the quieter
// parts, as an overdriven speaker or tape does with a blast.
void softClip(Buffer& buffer, double drive);

}  // namespace qs::mediagen
