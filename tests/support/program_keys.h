#pragma once
// A program folder of a test's own, with the build's media.
#include <filesystem>
#include <vector>

#include "qspe/score_record.h"
#include "support/files.h"

namespace qs::test {

// The build's media in `dir`, with every game cleared when `allCleared` so
// that the locked entries open too.
inline void makeProgramDir(const TempDir& dir, bool allCleared) {
  namespace fs = std::filesystem;
  for (const auto& e : fs::directory_iterator(QSPE_PROGRAM_DIR)) {
    auto ext = e.path().extension();
    if (ext == ".wav" || ext == ".mid" || ext == ".bmp")
      fs::copy_file(e.path(), fs::path(dir.path()) / e.path().filename());
  }
  const auto bytes =
      (allCleared ? ScoreRecord{kTrue, kTrue, kTrue, kTrue, kTrue, kTrue, 0, 0} : ScoreRecord{}).toBytes();
  writeBytes(dir.file("Qspe.dat"), Bytes(bytes.begin(), bytes.end()));
}

}  // namespace qs::test
