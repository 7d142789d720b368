#include "synth.h"

#include <algorithm>
#include <cmath>

namespace qs::mediagen {

std::size_t samplesFor(double seconds) {
  return static_cast<std::size_t>(std::lround(std::max(0.0, seconds) * kSampleRate));
}

double secondsOf(const Buffer& buffer) { return static_cast<double>(buffer.size()) / kSampleRate; }

double midiToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

std::uint64_t Rng::next() {
  state_ += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

float Rng::bipolar() {
  const double unit = static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);
  return static_cast<float>(unit * 2.0 - 1.0);
}

namespace {

double polyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

}  // namespace

float Oscillator::next(double hz) {
  const double dt = std::clamp(hz / kSampleRate, 0.0, 0.5);
  double value = 0.0;
  switch (wave_) {
    case Wave::Sine: value = std::sin(2.0 * kPi * phase_); break;
    case Wave::Triangle: {
      double p = phase_ + 0.25;
      if (p >= 1.0) p -= 1.0;
      value = 1.0 - 4.0 * std::abs(p - 0.5);
      break;
    }
    case Wave::Square: {
      value = phase_ < duty_ ? 1.0 : -1.0;
      value += polyBlep(phase_, dt);
      double shifted = phase_ + 1.0 - duty_;
      if (shifted >= 1.0) shifted -= 1.0;
      value -= polyBlep(shifted, dt);
      // Keep narrow pulses centred so they do not carry a DC offset.
      value -= 2.0 * duty_ - 1.0;
      break;
    }
    case Wave::Saw: value = 2.0 * phase_ - 1.0 - polyBlep(phase_, dt); break;
  }
  phase_ += dt;
  if (phase_ >= 1.0) phase_ -= 1.0;
  return static_cast<float>(value);
}

double envelopeAt(const Envelope& env, double t, double length) {
  if (t < 0.0 || t >= length) return 0.0;
  double level = 1.0;
  if (env.attack > 0.0 && t < env.attack) {
    level = t / env.attack;
  } else if (env.decay > 0.0) {
    level = env.sustain + (1.0 - env.sustain) * std::exp(-(t - env.attack) / env.decay);
  }
  const double left = length - t;
  if (env.release > 0.0 && left < env.release) level *= left / env.release;
  return level;
}

Buffer renderTone(const Tone& tone) {
  Buffer out(samplesFor(tone.seconds));
  Oscillator osc(tone.wave, tone.duty);
  const double endHz = tone.endHz > 0.0 ? tone.endHz : tone.startHz;
  const double ratio = endHz / tone.startHz;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    double hz = tone.startHz * std::pow(ratio, t / tone.seconds);
    if (tone.vibratoHz > 0.0) {
      hz *= std::pow(2.0, tone.vibratoSemitones / 12.0 * std::sin(2.0 * kPi * tone.vibratoHz * t));
    }
    out[i] = osc.next(hz) * tone.gain * static_cast<float>(envelopeAt(tone.env, t, tone.seconds));
  }
  return out;
}

void Biquad::tune(double hz, double q) {
  hz = std::clamp(hz, 10.0, 0.45 * kSampleRate);
  const double w0 = 2.0 * kPi * hz / kSampleRate;
  const double cw = std::cos(w0);
  const double alpha = std::sin(w0) / (2.0 * q);
  double b0 = 0, b1 = 0, b2 = 0;
  switch (kind_) {
    case Kind::Lowpass:
      b0 = (1.0 - cw) / 2.0;
      b1 = 1.0 - cw;
      b2 = b0;
      break;
    case Kind::Highpass:
      b0 = (1.0 + cw) / 2.0;
      b1 = -(1.0 + cw);
      b2 = b0;
      break;
    case Kind::Bandpass:
      b0 = alpha;
      b1 = 0.0;
      b2 = -alpha;
      break;
  }
  const double a0 = 1.0 + alpha;
  b0_ = b0 / a0;
  b1_ = b1 / a0;
  b2_ = b2 / a0;
  a1_ = -2.0 * cw / a0;
  a2_ = (1.0 - alpha) / a0;
}

float Biquad::process(float x) {
  // Transposed direct form II.
  const double y = b0_ * x + z1_;
  z1_ = b1_ * x - a1_ * y + z2_;
  z2_ = b2_ * x - a2_ * y;
  return static_cast<float>(y);
}

void OnePoleLowpass::tune(double hz) {
  a_ = 1.0 - std::exp(-2.0 * kPi * std::clamp(hz, 1.0, 0.45 * kSampleRate) / kSampleRate);
}

float OnePoleLowpass::process(float x) {
  y_ += a_ * (x - y_);
  return static_cast<float>(y_);
}

Buffer whiteNoise(double seconds, Rng& rng) {
  Buffer out(samplesFor(seconds));
  for (float& s : out) s = rng.bipolar();
  return out;
}

void mixInto(Buffer& dst, const Buffer& src, double atSeconds, float gain) {
  const std::size_t offset = samplesFor(atSeconds);
  if (dst.size() < offset + src.size()) dst.resize(offset + src.size(), 0.0f);
  for (std::size_t i = 0; i < src.size(); ++i) dst[offset + i] += src[i] * gain;
}

void removeDc(Buffer& buffer) {
  const double r = 1.0 - 2.0 * kPi * 20.0 / kSampleRate;
  double prevX = 0.0;
  double prevY = 0.0;
  for (float& s : buffer) {
    const double y = s - prevX + r * prevY;
    prevX = s;
    prevY = y;
    s = static_cast<float>(y);
  }
}

void fadeEdges(Buffer& buffer, double fadeInSeconds, double fadeOutSeconds) {
  const std::size_t n = buffer.size();
  const std::size_t in = std::min(n, samplesFor(fadeInSeconds));
  const std::size_t out = std::min(n, samplesFor(fadeOutSeconds));
  for (std::size_t i = 0; i < in; ++i) {
    buffer[i] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / in));
  }
  for (std::size_t i = 0; i < out; ++i) {
    // i counts back from the last sample, which ends at exactly zero.
    buffer[n - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / out));
  }
}

float peakOf(const Buffer& buffer) {
  float peak = 0.0f;
  for (float s : buffer) peak = std::max(peak, std::abs(s));
  return peak;
}

double rmsOf(const Buffer& buffer) {
  double energy = 0.0;
  for (float s : buffer) energy += static_cast<double>(s) * s;
  return buffer.empty() ? 0.0 : std::sqrt(energy / static_cast<double>(buffer.size()));
}

void softClip(Buffer& buffer, double drive) {
  normalizePeak(buffer, 0.0);
  const double norm = 1.0 / std::tanh(drive);
  for (float& s : buffer) s = static_cast<float>(std::tanh(drive * s) * norm);
}

void normalizePeak(Buffer& buffer, double peakDbfs) {
  const float peak = peakOf(buffer);
  if (peak <= 0.0f) return;
  const auto gain = static_cast<float>(std::pow(10.0, peakDbfs / 20.0) / peak);
  for (float& s : buffer) s *= gain;
}

}  // namespace qs::mediagen
