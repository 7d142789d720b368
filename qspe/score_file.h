#pragma once
#include <set>
#include <string>

#include "qspe/file_ops.h"
#include "qspe/score_record.h"

namespace qs {

class RunClock;

// The score file of a run. It is kept where the scene says ("<dir>/Qspe.dat"),
// or, when that folder or file cannot be written, in $XDG_DATA_HOME/qspe
// (~/.local/share/qspe), said once on standard error. When the scene already
// names that data home (an installed program), its folders are made as needed. A symbolic link at the
// path is followed: the file it leads to is the one read and replaced.
class ScoreStore {
 public:
  ScoreStore(RunClock& clock, std::string programName, FileOps& ops = posixFileOps());

  // Reads the first 20 bytes of the file into `rec` (missing bytes read as
  // zeros); traced as a `read` line. A missing file is created empty, unless
  // the path is a link that leads nowhere. Anything but a regular file reads
  // as nothing. While the scores are kept in the data home and no file is
  // there yet, the record left in the program folder is the one read.
  void read(const std::string& scoreFile, ScoreRecord& rec);
  // Writes the record over the first 20 bytes, keeping whatever follows them,
  // the file's mode and its owner: the new contents go to a fresh temporary
  // file in the same folder, are flushed, and the temporary file is renamed
  // over the old one, so the file is never torn. Traced as a `write` line.
  // On failure the old file stays as it was and the first failure of the run
  // is said on standard error. True when the record reached the file.
  bool write(const std::string& scoreFile, const ScoreRecord& rec);

 private:
  // Chooses, once per run, between the scene's path and the data home.
  void decide(const std::string& scoreFile);
  // Whether the file at `target` (no link) and its folder can be written, found by trying.
  bool canWrite(const std::string& target);
  std::string fallbackFile(const std::string& scoreFile) const;
  // Creates a temporary file named ".<base>.XXXXXX" in `dir`; -1 and errno on failure.
  int openTemp(const std::string& dir, const std::string& base, mode_t mode, std::string& name);
  // Removes our temporary files that a crashed writer left in `dir` (once per folder a run).
  void removeStaleTemps(const std::string& dir, const std::string& base);
  // Replaces the first 20 bytes of the file at `path`; when there is no file
  // yet, what follows the record is taken from `carried`. errno on failure.
  bool replaceRecord(const std::string& path, const ScoreRecord::Bytes& bytes, const std::string& carried);
  // True the first time only: a failed write is reported once per run.
  bool firstWriteFailure() { return !writeFailed_ && (writeFailed_ = true); }

  RunClock& clock_;
  std::string programName_;
  FileOps& ops_;
  std::string fallbackDir_;
  bool decided_ = false;
  bool useFallback_ = false;
  bool nowhere_ = false;
  bool writeFailed_ = false;
  std::set<std::string> cleanedDirs_;
};

// The fallback directory for the score file: $XDG_DATA_HOME/qspe, else ~/.local/share/qspe.
std::string scoreFallbackDir();

}  // namespace qs
