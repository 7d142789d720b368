#pragma once
#include <cstdint>
#include <string>

namespace qs {

// Length in ms of a PCM WAV file, from its header (format and data chunks);
// 0 when the file is missing or not a WAV file.
std::int64_t wavLengthMs(const std::string& path);

}  // namespace qs
