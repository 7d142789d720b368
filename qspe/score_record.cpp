#include "qspe/score_record.h"

#include <algorithm>

namespace qs {
namespace {
void put(ScoreRecord::Bytes& b, std::size_t at, std::uint32_t v, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t get(const ScoreRecord::Bytes& b, std::size_t at, std::size_t n) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
  return v;
}
}  // namespace

ScoreRecord::Bytes ScoreRecord::toBytes() const {
  Bytes b{};
  auto flags = clearFlags();
  for (std::size_t i = 0; i < flags.size(); ++i) put(b, 2 * i, static_cast<std::uint16_t>(flags[i]), 2);
  put(b, 12, static_cast<std::uint32_t>(hiScoreQF), 4);
  put(b, 16, static_cast<std::uint32_t>(hiScoreSam), 4);
  return b;
}

ScoreRecord ScoreRecord::fromBytes(const std::uint8_t* data, std::size_t n) {
  Bytes b{};
  for (std::size_t i = 0; i < n && i < kSize; ++i) b[i] = data[i];
  ScoreRecord r;
  std::int16_t* flags[] = {&r.clearQB, &r.clearQBL, &r.clearQBF, &r.clearQRB, &r.clearQS, &r.clearQF};
  for (std::size_t i = 0; i < 6; ++i) *flags[i] = static_cast<std::int16_t>(get(b, 2 * i, 2));
  r.hiScoreQF = static_cast<std::int32_t>(get(b, 12, 4));
  r.hiScoreSam = static_cast<std::int32_t>(get(b, 16, 4));
  return r;
}

ScoreRecord mergedRecord(const ScoreRecord& mine, const ScoreRecord& kept) {
  ScoreRecord r = mine;
  std::int16_t* flags[] = {&r.clearQB, &r.clearQBL, &r.clearQBF, &r.clearQRB, &r.clearQS, &r.clearQF};
  const auto keptFlags = kept.clearFlags();
  for (std::size_t i = 0; i < 6; ++i)
    if (isSet(keptFlags[i])) *flags[i] = kTrue;
  r.hiScoreQF = std::max(mine.hiScoreQF, kept.hiScoreQF);
  r.hiScoreSam = std::max(mine.hiScoreSam, kept.hiScoreSam);
  return r;
}

}  // namespace qs
