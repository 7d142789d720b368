#include "wav_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace qs::mediagen {

Bytes encodeWav(std::span<const float> samples, int sampleRate) {
  constexpr std::uint32_t kChannels = 1;
  constexpr std::uint32_t kBitsPerSample = 16;
  constexpr std::uint32_t kBlockAlign = kChannels * kBitsPerSample / 8;
  const auto rate = static_cast<std::uint32_t>(sampleRate);
  const auto dataSize = static_cast<std::uint32_t>(samples.size()) * kBlockAlign;

  Bytes out;
  out.reserve(44 + dataSize);
  putTag(out, "RIFF");
  putU32le(out, 36 + dataSize);
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  putU32le(out, 16);  // fmt chunk size for plain PCM
  putU16le(out, 1);   // PCM
  putU16le(out, kChannels);
  putU32le(out, rate);
  putU32le(out, rate * kBlockAlign);
  putU16le(out, kBlockAlign);
  putU16le(out, kBitsPerSample);
  putTag(out, "data");
  putU32le(out, dataSize);

  for (float s : samples) {
    const float clamped = std::clamp(s, -1.0f, 1.0f);
    const auto value = static_cast<std::int16_t>(std::lround(clamped * 32767.0f));
    putU16le(out, static_cast<std::uint16_t>(value));
  }
  return out;
}

}  // namespace qs::mediagen
