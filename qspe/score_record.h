#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace qs {

// The 20-byte record of "Qspe.dat": six clear flags and two best scores,
// little-endian, no header.
struct ScoreRecord {
  std::int16_t clearQB = 0;
  std::int16_t clearQBL = 0;
  std::int16_t clearQBF = 0;
  std::int16_t clearQRB = 0;
  std::int16_t clearQS = 0;
  std::int16_t clearQF = 0;
  std::int32_t hiScoreQF = 0;
  std::int32_t hiScoreSam = 0;

  static constexpr std::size_t kSize = 20;
  using Bytes = std::array<std::uint8_t, kSize>;

  Bytes toBytes() const;
  // Bytes missing at the end of a short file read as zeros.
  static ScoreRecord fromBytes(const std::uint8_t* data, std::size_t n);
  // The six clear flags in record order.
  std::array<std::int16_t, 6> clearFlags() const { return {clearQB, clearQBL, clearQBF, clearQRB, clearQS, clearQF}; }
  friend bool operator==(const ScoreRecord&, const ScoreRecord&) = default;
};

// This copy's record laid over the one another copy of the program kept
// meanwhile: a flag set by either stays set, a best score keeps the larger.
// Over the record it was read from, it is this copy's record unchanged.
ScoreRecord mergedRecord(const ScoreRecord& mine, const ScoreRecord& kept);

// A flag counts as set only when it holds -1 (all bits set).
constexpr std::int16_t kTrue = -1;
constexpr bool isSet(std::int16_t flag) { return flag == kTrue; }

}  // namespace qs
