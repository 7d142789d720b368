#pragma once
#include <string>

#include "qspe/score_record.h"

namespace qs {

class RunClock;

// The score file of a run. It is kept where the scene says ("<dir>/Qspe.dat"),
// or, when that folder cannot be written, in $XDG_DATA_HOME/qspe
// (~/.local/share/qspe), said once on standard error.
class ScoreStore {
 public:
  ScoreStore(RunClock& clock, std::string programName);

  // Opens the file (creating it empty if none exists), reads its first 20
  // bytes into `rec` (missing bytes read as zeros) and closes it; traced as a
  // `read` line. Anything but a regular file at the path reads as nothing.
  void read(const std::string& scoreFile, ScoreRecord& rec);
  // Writes the whole record at once: to a temporary file in the same
  // directory, flushed, then renamed over the old one, so the file is never
  // torn; traced as a `write` line. On failure the old file stays as it was
  // and the first failure of the run is said on standard error.
  void write(const std::string& scoreFile, const ScoreRecord& rec);

 private:
  // The file actually used for a path the scene built.
  std::string resolve(const std::string& scoreFile);
  // True the first time only: a failed write is reported once per run.
  bool firstWriteFailure() { return !writeFailed_ && (writeFailed_ = true); }

  RunClock& clock_;
  std::string programName_;
  std::string fallbackDir_;
  bool decided_ = false;
  bool useFallback_ = false;
  bool writeFailed_ = false;
};

// The fallback directory for the score file: $XDG_DATA_HOME/qspe, else ~/.local/share/qspe.
std::string scoreFallbackDir();

}  // namespace qs
