#pragma once
#include <set>
#include <string>

#include "host/file_ops.h"
#include "qspe/score_record.h"

namespace qs {

class RunClock;

// The score file of a run. It is kept where the scene says ("<dir>/Qspe.dat"),
// or, when that folder or file cannot be written, in $XDG_DATA_HOME/qspe
// (~/.local/share/qspe), said once on standard error. When the scene already
// names that data home (an installed program), its folders are made as needed. A symbolic link at the
// path is followed as the kernel would follow it: the file it leads to is
// the one read and replaced.
class ScoreStore {
 public:
  ScoreStore(RunClock& clock, std::string programName, FileOps& ops = posixFileOps());

  // Reads the first 20 bytes of the file into `rec` (missing bytes read as
  // zeros); traced as a `read` line. A missing file is created empty, unless
  // the path is a link that leads nowhere. Anything but a regular file reads
  // as nothing. While the scores are kept in the data home and no file is
  // there yet, the record left in the program folder is the one read; once
  // the program folder can be written again, a record left in the data home
  // is merged into the one read there.
  void read(const std::string& scoreFile, ScoreRecord& rec);
  // Writes the record over the first 20 bytes, keeping whatever follows them,
  // the file's mode and its owner: the new contents go to a fresh temporary
  // file in the same folder, are flushed, and the temporary file is renamed
  // over the old one, so the file is never torn. Under a lock on the folder,
  // the record kept there now is read and merged in first (mergedRecord), so
  // that two copies of the program running at once keep each other's
  // progress. Traced as a `write` line with the bytes written. On failure the
  // old file stays as it was and the first failure of the run is said on
  // standard error. True when the record reached the file.
  bool write(const std::string& scoreFile, const ScoreRecord& rec);

 private:
  // Chooses, once per run, between the scene's path and the data home.
  void decide(const std::string& scoreFile);
  // Whether the file at `path` (following links as the kernel would) and its
  // folder can be written, found by trying; anything but a regular file cannot.
  bool canWrite(const std::string& path);
  std::string fallbackFile(const std::string& scoreFile) const;
  // The program folder of `scoreFile`, as the data home's list names it.
  static std::string folderKey(const std::string& scoreFile);
  // The program folders whose record the data home holds, and noting this one in or out.
  std::set<std::string> keptFor(const std::string& scoreFile);
  void noteKeptFor(const std::string& scoreFile, bool kept);
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
  bool mergedBack_ = false;  // a record kept in the data home was read into this folder's
};

// The fallback directory for the score file: $XDG_DATA_HOME/qspe, else
// ~/.local/share/qspe; empty when there is no home folder to keep it in.
std::string scoreFallbackDir();

}  // namespace qs
