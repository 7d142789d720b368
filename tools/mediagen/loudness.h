// Loudness as ITU-R BS.1770 measures it: the signal is K-weighted (a
// high-shelf of about +4 dB above 1.5 kHz, then a high-pass near 38 Hz, so
// deep bass counts for little and presence for a little more), squared and
// averaged over a window; channels add their powers; the level in LUFS is
// -0.691 + 10 log10 of that mean. A full-scale 1 kHz sine on one channel
// reads -3.01 LUFS.
#pragma once

#include <span>

namespace qs::mediagen {

// Length of the momentary window, and the step between windows.
inline constexpr double kMomentarySeconds = 0.4;
inline constexpr double kMomentaryStep = 0.01;

// Samples are interleaved frames of `channels` channels at `rate`.
//
// The loudest 400 ms window, stepped every 10 ms, with silence before and
// after the signal: the level a short sound is heard at. A sound shorter
// than the window is averaged over the whole window, as the ear does with
// short sounds.
double maxMomentaryLufs(std::span<const float> samples, int channels, int rate);

// Gated loudness of a whole programme (BS.1770-4): 400 ms blocks with 75 %
// overlap, blocks below -70 LUFS and then those 10 LU below the mean of the
// rest are left out. Returns -70 for silence.
double integratedLufs(std::span<const float> samples, int channels, int rate);

// A mono effect as the game plays it: the same signal on both channels of
// the stereo output, so 3 dB above the one-channel reading.
double playedMomentaryLufs(std::span<const float> mono, int rate);

// The highest level the signal reaches between its samples too, as a
// converter to a higher rate rebuilds it: the samples interpolated four
// times over with a windowed sinc. Linear, not in dB.
double truePeak(std::span<const float> mono);

}  // namespace qs::mediagen
