// The score file's contents: any bytes at all may sit in "Qspe.dat".
#include "fuzz_support.h"
#include "qspe/score_file.h"
#include "qspe/score_record.h"
#include "runtime/run_clock.h"
#include "runtime/trace.h"

namespace {

// The clock of a score store read outside any run: time stands still, the
// trace is kept nowhere.
struct StillClock : qs::RunClock {
  qs::Trace kept{[] { return std::int64_t{0}; }};
  std::int64_t now() const override { return 0; }
  qs::Trace& trace() override { return kept; }
  void hold(std::int64_t) override {}
  bool programEnded() const override { return false; }
  void attachTimer(qs::Timer&) override {}
  void detachTimer(qs::Timer&) override {}
  void timerChanged(qs::Timer&) override {}
};

}  // namespace

FUZZ_TARGET(in) {
  using qs::ScoreRecord;
  // The first 20 bytes are the record, short files padded with zeros, and
  // writing the record back gives those bytes again.
  const ScoreRecord rec = ScoreRecord::fromBytes(in.data(), in.size());
  const ScoreRecord::Bytes back = rec.toBytes();
  for (std::size_t i = 0; i < ScoreRecord::kSize; ++i) FUZZ_CHECK(back[i] == (i < in.size() ? in[i] : 0));

  // The store reads the same record from a file holding these bytes.
  static StillClock clock;
  static qs::ScoreStore store(clock, "fuzz");
  ScoreRecord read;
  read.clearQB = 1;  // must be overwritten
  store.read(in.file("Qspe.dat"), read);
  FUZZ_CHECK(read == rec);
}
