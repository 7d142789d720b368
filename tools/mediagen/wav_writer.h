// Canonical 16-bit mono PCM WAV encoding.
#pragma once

#include <span>

#include "byte_io.h"

namespace qs::mediagen {

inline constexpr int kSampleRate = 22050;

// Encodes samples in [-1, 1] (values outside are clamped) as a WAV file
// image with the classic 44-byte RIFF/WAVE/fmt/data header.
Bytes encodeWav(std::span<const float> samples, int sampleRate = kSampleRate);

}  // namespace qs::mediagen
